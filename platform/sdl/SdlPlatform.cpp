// Placeholder; the SDL2 backend lands with its own change.

# Shared by tools/web.sh and tools/windows.sh: Debian source packages of the libraries that a
# cross build compiles itself. Sourced, not run.
#
#   fetch_debian_sources DIR NAME...   apt-get source NAME... into DIR, adding a deb-src entry
#                                      for the archive the machine uses when there is none
#
# Expects as_root, the apt command line in the array apt, and updated=yes when apt-get update
# has just run (it is set to yes when this runs it).

# add_deb_src_entry: adds a deb-src entry for the archive the machine already uses when there is
# none; true when it added one (the package lists must then be read again).
add_deb_src_entry() {
    if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return 1
    fi
    local uri
    uri=$(grep -rhsE '^URIs:.*debian/?$' /etc/apt/sources.list.d/ | head -n1 | awk '{print $2}')
    [ -n "$uri" ] || uri=$(grep -hsE '^deb .*debian/? ' /etc/apt/sources.list | grep -v security |
        head -n1 | awk '{print $2}')
    [ -n "$uri" ] || uri=http://deb.debian.org/debian
    echo "adding a deb-src entry for $uri"
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$uri" | as_root tee /etc/apt/sources.list.d/vortalix-deb-src.sources >/dev/null
}

fetch_debian_sources() {
    local dir=$1
    shift
    [ "$#" -gt 0 ] || return 0
    if add_deb_src_entry; then updated=no; fi
    if [ "$updated" = no ]; then
        as_root "${apt[@]}" update
        updated=yes
    fi
    (cd "$dir" && apt-get source -q "$@")
}

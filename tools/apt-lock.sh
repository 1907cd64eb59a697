# Waiting for the package manager: another installation (a machine that has
# just booted updates itself) may hold apt's and dpkg's locks for minutes,
# and apt-get fails at once when it meets one. Sourced by ./dev; the caller
# may set APT_LOCKS and APT_LOCK_WAIT first.

# dpkg's locks, then apt's for its lists and its downloads.
if [ -z "${APT_LOCKS+set}" ]; then
    APT_LOCKS=(/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock
        /var/cache/apt/archives/lock)
fi
# Seconds to wait for them at most.
APT_LOCK_WAIT=${APT_LOCK_WAIT:-900}
APT_LOCK_POLL=2

# Prints the first of APT_LOCKS that a process holds; fails when none is.
# apt and dpkg take fcntl locks, which /proc/locks lists by the file's
# device (major:minor, hex) and inode.
held_apt_lock() {
    local file dev id
    for file in "${APT_LOCKS[@]}"; do
        [ -e "$file" ] || continue
        dev=$(stat -L -c %d "$file")
        id=$(printf '%02x:%02x:%s' $(((dev >> 8) & 0xfff)) \
            $(((dev & 0xff) | ((dev >> 12) & 0xfff00))) "$(stat -L -c %i "$file")")
        # A waiting lock's line has an extra "->" field.
        if awk -v id="$id" '$6 == id || $7 == id { found = 1 } END { exit !found }' \
            /proc/locks; then
            echo "$file"
            return 0
        fi
    done
    return 1
}

# Returns once no lock is held, saying once what it waits for; fails after
# APT_LOCK_WAIT seconds.
wait_for_apt() {
    local deadline=$((SECONDS + APT_LOCK_WAIT)) lock said=
    while lock=$(held_apt_lock); do
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "another installation still holds $lock after ${APT_LOCK_WAIT}s;" \
                "run this again once it is done" >&2
            return 1
        fi
        if [ -z "$said" ]; then
            echo "waiting (at most ${APT_LOCK_WAIT}s) for another installation to release" \
                "$lock" >&2
            said=1
        fi
        sleep "$APT_LOCK_POLL"
    done
}

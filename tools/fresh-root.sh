#!/usr/bin/env bash
# Tries a README command as a new user would: in a fresh Debian root, on a
# clone of this checkout's committed HEAD.
#   sudo bash tools/fresh-root.sh [--as-root] [--bring-back FILE] 12|13 run|test [-- command...]
# Bootstraps a minimal Debian 12 (bookworm) or 13 (trixie) once and keeps it
# in the cache; every run then copies it, mounts what the tests need, makes
# an ordinary user who may use sudo without a password ("builder"; --as-root
# runs as root instead), clones the project into that user's home and runs
# `bash tools/setup.sh run|test` there. "run" has no display to show on: it
# starts the tool under Xvfb, waits for its window, ends it with SIGTERM and
# expects status 0. After "--" a command of your own runs in the clone instead
# (as the same user); --bring-back copies a file of the clone, named from its
# top, back into this checkout once the command succeeded, e.g.
#   --bring-back docs/benchmarks.md 13 run -- bash bench/run.sh
# The fresh root is unmounted and removed however the run ends.
#
# Runs as root (it mounts and chroots); needs debootstrap and git.
# VQ_ROOT_CACHE  the cache (default ${XDG_CACHE_HOME:-$HOME/.cache}/velmora-quorix):
#                the bootstrapped roots, apt's downloaded packages and lists
#                per release, and the fresh roots while they run
# VQ_MIRROR      the Debian mirror (default: the one the host's apt uses)
# VQ_QUICK, VQ_FUZZ_SECONDS, VQ_JOBS, CI are passed on to the command.
set -euo pipefail
# The whole script is read before it runs (the braces), so that editing or
# checking out another version while a run goes on cannot change that run.
{
repo=$(cd "$(dirname "$0")/.." && pwd)
user=builder
as_root="" bring_back=""
while [ $# -gt 0 ]; do
    case $1 in
    --as-root) as_root=1 ;;
    --bring-back) bring_back=${2:-} && shift ;;
    *) break ;;
    esac
    shift
done
release=${1:-} mode=${2:-}
shift 2 || true
command_=()
if [ "${1:-}" = -- ]; then
    shift
    command_=("$@")
fi
case $release in
12 | bookworm) suite=bookworm ;;
13 | trixie) suite=trixie ;;
*) release="" ;;
esac
if [ -z "$release" ] || { [ "$mode" != run ] && [ "$mode" != test ]; }; then
    echo "usage: sudo bash $0 [--as-root] [--bring-back FILE] 12|13 run|test [-- command...]" >&2
    exit 2
fi
[ "$(id -u)" -eq 0 ] || { echo "It mounts and chroots: run it as root (sudo)." >&2; exit 2; }
for tool in debootstrap git; do
    command -v $tool >/dev/null || { echo "needs $tool: apt-get install $tool" >&2; exit 2; }
done
started=$SECONDS
say() { echo "== fresh-root $suite: $* ($((SECONDS - started)) s)"; }

# The mirror the host's apt already uses, from either form of its sources:
# the first entry for the host's own release, and that release's security
# entry for the security updates.
host_codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
host_uri() { # SUITE: the first URI the host's apt sources give for that suite
    {
        cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk -v RS= -v s="$1" '
            { types = ""; uris = ""; suites = ""; off = 0
              n = split($0, line, "\n")
              for (i = 1; i <= n; i++) {
                  f = line[i]; sub(/^[ \t]+/, "", f)
                  if (f ~ /^Types:/) types = " " substr(f, 7) " "
                  else if (f ~ /^URIs:/) uris = substr(f, 6)
                  else if (f ~ /^Suites:/) suites = " " substr(f, 8) " "
                  else if (f ~ /^Enabled:[ \t]*no/) off = 1
              }
              gsub(/[ \t]+/, " ", types); gsub(/[ \t]+/, " ", suites)
              if (!off && types ~ / deb / && index(suites, " " s " ")) {
                  split(uris, u, " "); print u[1]
              } }' || true
        cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | awk -v s="$1" '
            $1 == "deb" { i = 2
              if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
              if ($(i + 1) == s) print $i }' || true
    } | grep -E '^(https?|ftp)://' | head -n 1 || true
}
mirror=${VQ_MIRROR:-$(host_uri "$host_codename")}
security=$(host_uri "$host_codename-security")
[ -n "$mirror" ] || { echo "no Debian mirror in the host's apt sources: set VQ_MIRROR" >&2; exit 2; }
mirror=${mirror%/}

cache=${VQ_ROOT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora-quorix}
mkdir -p "$cache/apt-$suite/archives" "$cache/apt-$suite/lists"
if [ ! -x "$cache/$suite/usr/bin/sudo" ]; then
    say "bootstrapping from $mirror (once; kept in the cache)"
    rm -rf --one-file-system "$cache/$suite.partial"
    debootstrap --variant=minbase --include=sudo,git,ca-certificates \
        "$suite" "$cache/$suite.partial" "$mirror" >"$cache/$suite.log" 2>&1 ||
        { tail -n 20 "$cache/$suite.log" >&2; exit 1; }
    rm -rf --one-file-system "$cache/$suite"
    mv "$cache/$suite.partial" "$cache/$suite"
fi

root=$(realpath "$(mktemp -d "$cache/run-$suite.XXXXXX")")
# Ends whatever still runs in the root, unmounts everything below it, the
# deepest first, and removes it; never removes what is still mounted.
cleanup() {
    local status=$? pid mounts
    trap - EXIT INT TERM HUP
    for pid in /proc/[0-9]*; do
        [ "$(readlink "$pid/root" 2>/dev/null)" = "$root" ] && kill -KILL "${pid#/proc/}" 2>/dev/null
    done
    sleep 0.5
    mounts=$(awk -v r="$root" '$5 == r || index($5, r "/") == 1 { print $5 }' /proc/self/mountinfo | sort -r)
    for m in $mounts; do umount "$m" 2>/dev/null || umount -l "$m"; done
    if awk -v r="$root" '$5 == r || index($5, r "/") == 1 { found = 1 } END { exit !found }' \
        /proc/self/mountinfo; then
        echo "fresh-root: $root is still mounted, left in place" >&2
    else
        rm -rf --one-file-system "$root"
    fi
    say "done, status $status"
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

say "copying the cached root"
cp -a "$cache/$suite/." "$root/"
{
    echo "deb $mirror $suite main"
    echo "deb $mirror $suite-updates main"
    [ -z "$security" ] || echo "deb ${security%/} $suite-security main"
} >"$root/etc/apt/sources.list"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
# A root thrown away after the run need not survive a power cut: dpkg
# skips its fsync calls, which take most of the installation's time.
echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/unsafe-io"
# sudo looks its host name up, and complains on every call without this.
echo "127.0.1.1 $(uname -n)" >>"$root/etc/hosts"
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
mount -t tmpfs -o mode=1777 tmp "$root/tmp"
# Downloads are kept between runs, as an apt proxy would keep them.
mount --bind "$cache/apt-$suite/archives" "$root/var/cache/apt/archives"
mount --bind "$cache/apt-$suite/lists" "$root/var/lib/apt/lists"

if [ -n "$as_root" ]; then
    who=root home=/root
    as_user=()
else
    who=$user home=/home/$user
    chroot "$root" useradd -m -s /bin/bash "$user"
    echo "$user ALL=(ALL:ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
    chmod 0440 "$root/etc/sudoers.d/$user"
    as_user=(--userspec="$user:$user")
fi
# The committed HEAD, whatever branch or detached state the checkout is in.
git -C "$repo" bundle create --quiet "$root/tmp/project.bundle" HEAD
chmod 0644 "$root/tmp/project.bundle"
in_root() { # runs a bash command in the root as the user, in a plain environment
    chroot "${as_user[@]}" "$root" /usr/bin/env -i HOME="$home" USER="$who" LOGNAME="$who" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 TERM="${TERM:-dumb}" ${CI:+CI="$CI"} ${VQ_QUICK:+VQ_QUICK="$VQ_QUICK"} \
        ${VQ_FUZZ_SECONDS:+VQ_FUZZ_SECONDS="$VQ_FUZZ_SECONDS"} ${VQ_JOBS:+VQ_JOBS="$VQ_JOBS"} \
        bash -c "$1"
}
in_root "git -c advice.detachedHead=false -c init.defaultBranch=main clone -q /tmp/project.bundle ~/velmora-quorix"
say "$(cat "$root/etc/debian_version"), cloned $(git -C "$repo" rev-parse --short HEAD) as $who"

if [ ${#command_[@]} -gt 0 ]; then
    in_root "cd ~/velmora-quorix && $(printf '%q ' "${command_[@]}")"
    # Written through cat, so the file keeps this checkout's owner.
    [ -z "$bring_back" ] || cat "$root$home/velmora-quorix/$bring_back" >"$repo/$bring_back"
elif [ "$mode" = test ]; then
    in_root "cd ~/velmora-quorix && bash tools/setup.sh test"
else
    # The smoke check's own X server, not part of what the tool needs.
    chroot "$root" apt-get update -qq
    chroot "$root" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends xvfb x11-utils >/dev/null
    in_root '
        Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>/tmp/display 2>/dev/null & xvfb=$!
        trap "kill $xvfb 2>/dev/null" EXIT
        until grep -q . /tmp/display; do sleep 0.1; done
        export DISPLAY=:$(cat /tmp/display)
        cd ~/velmora-quorix || exit 1
        # setup.sh ends by exec-ing the tool, so this job id becomes the tool id.
        bash tools/setup.sh run & tool=$!
        until xwininfo -root -tree 2>/dev/null | grep -q "\"VL-QX - "; do
            kill -0 $tool 2>/dev/null || { wait $tool; echo "run: ended before its window showed, status $?"; exit 1; }
            sleep 0.5
        done
        sleep 2
        echo "run: the window shows: $(xwininfo -root -tree | grep -o "\"VL-QX - [^\"]*\"" | head -n 1)"
        kill -TERM $tool; status=0; wait $tool || status=$?
        echo "run: SIGTERM ended it with status $status"
        exit $status'
fi
exit
}

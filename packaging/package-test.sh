#!/usr/bin/env bash
# Checks a built .deb the way a new user meets it: unpacked into a scratch root, its file
# list compared with what we mean to ship, the programs run from there (and against each
# other), the manuals rendered, the completion asked, the desktop entry and the AppStream
# file validated, and the whole package checked by lintian, Debian's package checker.
# Usage: packaging/package-test.sh PACKAGE.deb
set -uo pipefail

deb=$1
source_dir=$(cd "$(dirname "$0")/.." && pwd)
root=$(mktemp -d "${TMPDIR:-/tmp}/qelto-package-test.XXXXXX")
sim_pid=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$root"
}
trap cleanup EXIT

passed=0
failed=0
check() {  # check NAME COMMAND...: one pass or fail line
    local name=$1
    shift
    local out
    if out=$("$@" 2>&1); then
        passed=$((passed + 1))
        echo "ok   $name"
    else
        failed=$((failed + 1))
        echo "FAIL $name"
        [ -n "$out" ] && sed 's/^/     /' <<<"$out"
    fi
}

version=$(dpkg-deb -f "$deb" Version)
echo "package-test: $(basename "$deb"), $(stat -c %s "$deb") bytes, version $version"
dpkg -x "$deb" "$root" || { echo "package-test: dpkg -x failed"; exit 1; }
bin=$root/usr/bin
share=$root/usr/share
app_id=io.github.qelto.Qelto

# What the package must hold, no more and no less: a stray file (a library, a header, a
# test) would slip into users' systems unnoticed otherwise.
expected=(
    usr/bin/qelto-cli
    usr/bin/qelto-sim
    usr/share/bash-completion/completions/qelto-cli
    usr/share/doc/qelto/changelog.gz
    usr/share/doc/qelto/copyright
    usr/share/icons/hicolor/scalable/apps/qelto.svg
    usr/share/man/man1/qelto-cli.1.gz
    usr/share/man/man1/qelto-sim.1.gz
    usr/share/lintian/overrides/qelto
)
for size in 16 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/qelto.png")
done
window=no
if [ -e "$bin/qelto" ]; then
    window=yes
    expected+=(usr/bin/qelto "usr/share/applications/$app_id.desktop"
               "usr/share/metainfo/$app_id.metainfo.xml" usr/share/man/man1/qelto.1.gz)
else
    echo "note: no window in this package (src/gui not built): menu entry, metainfo and qelto(1) left out"
fi
[ -e "$source_dir/data/qelto-logo.png" ] && expected+=(usr/share/qelto/qelto-logo.png)
# The Python package (its native module, its Python and its stubs), where Debian's python3
# finds what packages install.
python_dir=usr/lib/python3/dist-packages
python=no
if compgen -G "$root/$python_dir/qelto/_qelto.*.so" >/dev/null; then
    python=yes
    suffix=$(/usr/bin/python3 -c 'import sysconfig; print(sysconfig.get_config_var("EXT_SUFFIX"))')
    expected+=("$python_dir/qelto/_qelto$suffix" "$python_dir/qelto/__init__.py"
               "$python_dir/qelto/__init__.pyi" "$python_dir/qelto/py.typed")
else
    echo "note: no Python module in this package (built without pybind11-dev and python3-dev)"
fi

file_list() {
    diff -u <(printf '%s\n' "${expected[@]}" | sort) \
            <(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort)
}
check "file list" file_list
check "programs are executable" test -x "$bin/qelto-cli" -a -x "$bin/qelto-sim"
check "dependencies come from dpkg-shlibdeps" \
    grep -q 'libqt6serialport6' <<<"$(dpkg-deb -f "$deb" Depends)"

output_is() {  # output_is EXPECTED COMMAND...
    local want=$1
    shift
    local got
    got=$("$@") || return 1
    [ "${got%%$'\n'*}" = "$want" ] || [[ ${got%%$'\n'*} == "$want "* ]] || {
        echo "got: ${got%%$'\n'*}"
        return 1
    }
}
# HOME in the scratch root: nothing the programs write reaches the real user's settings.
export HOME=$root/home
mkdir -p "$HOME"
check "qelto-cli --version" output_is "qelto-cli $version" "$bin/qelto-cli" --version
check "qelto-sim --version" output_is "qelto-sim $version" "$bin/qelto-sim" --version
check "qelto-sim --help" output_is "Usage: qelto-sim [OPTION]..." "$bin/qelto-sim" --help
if [ $window = yes ]; then
    check "qelto --version" env QT_QPA_PLATFORM=offscreen "$bin/qelto" --version
fi

# The installed simulated sensor on a free port: sets port (empty when it did not say) and
# sim_pid.
start_sim() {
    local fifo=$root/sim.out line
    port=""
    rm -f "$fifo"
    mkfifo "$fifo"
    "$bin/qelto-sim" --tcp 0 </dev/null >"$fifo" 2>/dev/null &
    sim_pid=$!
    exec 3<"$fifo"
    while IFS= read -r -t 10 line <&3; do
        [[ $line == "listening tcp "* ]] && port=${line##* }
        [ "$line" = ready ] && break
    done
    exec 3<&-
}

# The two installed programs talk to each other: the simulated sensor on a free port.
identify_against_sim() {
    local port
    start_sim
    local out rc=0
    if [ -n "$port" ]; then
        out=$("$bin/qelto-cli" --tcp "127.0.0.1:$port" identify 2>&1) || rc=1
        grep -qx 'serial: 4711' <<<"$out" || rc=1
    else
        out="qelto-sim did not report its port"
        rc=1
    fi
    # This runs in the check's subshell: the simulator ends here, not in the exit trap.
    kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    [ $rc -eq 0 ] || echo "$out"
    return $rc
}
check "qelto-cli identify against qelto-sim" identify_against_sim

# Debian's python3 imports the installed module (from the scratch root, not from the system)
# and reads the installed simulated sensor with it.
python_against_sim() {
    local port rc=0 out
    start_sim
    out=$(PYTHONPATH=$root/$python_dir /usr/bin/python3 -c '
import sys, qelto
assert qelto.__file__.startswith(sys.argv[1]), qelto.__file__
with qelto.connect(tcp="127.0.0.1:" + sys.argv[2]) as s:
    assert s.identity.serial == 4711 and s.read()["gain"] == 6
' "$root" "$port" 2>&1) || rc=1
    kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    [ $rc -eq 0 ] || echo "$out"
    return $rc
}
if [ $python = yes ]; then
    check "python3 imports qelto and reads qelto-sim" python_against_sim
fi

render_manual() {
    local page warnings
    for page in "$share"/man/man1/*.1.gz; do
        warnings=$(zcat "$page" | groff -man -ww -z -Tutf8 2>&1)
        [ -z "$warnings" ] || { echo "$page: $warnings"; return 1; }
        zcat "$page" | grep -q '^\.SH NAME' || { echo "$page: no NAME section"; return 1; }
    done
}
check "manuals render without warnings" render_manual

complete_words() {  # complete_words EXPECTED WORD...: the completion offers EXPECTED
    local want=$1
    shift
    (
        # shellcheck source=/dev/null
        source "$share/bash-completion/completions/qelto-cli"
        COMP_WORDS=(qelto-cli "$@")
        COMP_CWORD=$#
        COMPREPLY=()
        _qelto_cli
        [ "${COMPREPLY[*]}" = "$want" ] || { echo "$* -> '${COMPREPLY[*]}', wanted '$want'"; exit 1; }
    )
}
check "completion: commands" complete_words "live" --tcp 127.0.0.1:5000 li
check "completion: options of a command" complete_words "--ram" get --r
check "completion: option values" complete_words "csv jsonl" live --format ""

# Validate the installed files when the window ships them, the sources otherwise.
desktop=$share/applications/$app_id.desktop
metainfo=$share/metainfo/$app_id.metainfo.xml
[ -e "$desktop" ] || desktop=$source_dir/packaging/$app_id.desktop
[ -e "$metainfo" ] || metainfo=$source_dir/packaging/$app_id.metainfo.xml
check "desktop-file-validate" desktop-file-validate "$desktop"
check "appstreamcli validate --no-net" appstreamcli validate --no-net "$metainfo"
if [ $window = yes ]; then
    # The metainfo, the desktop entry and the icon as a software centre finds them together.
    check "appstreamcli validate-tree --no-net" appstreamcli validate-tree --no-net "$root"
fi
check "desktop entry's icon is in the package" \
    test -e "$share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$desktop").svg"

# Errors and warnings fail; the notes lintian has besides are shown either way. The package's
# overrides say why what they pass over is right.
run_lintian() {
    lintian --fail-on error,warning --display-info "$deb" 2>&1 |
        grep -v '^running with root privileges' >"$root/lintian.out"
    local rc=${PIPESTATUS[0]}
    cat "$root/lintian.out"
    return "$rc"
}
if command -v lintian >/dev/null; then
    check "lintian: no error, no warning" run_lintian
    [ -s "$root/lintian.out" ] && [ "$failed" -eq 0 ] && sed 's/^/note: /' "$root/lintian.out"
else
    failed=$((failed + 1))
    echo "FAIL lintian is not installed"
fi

echo "package-test: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# tree: installs the build into a fresh folder and checks what landed there: exactly the
# expected files, a menu entry that validates and points at what was installed, a list-file
# type that the MIME database takes, icons of the right sizes drawn from the SVG, and manual
# pages that render without warnings and document every option the programs accept.
# package: makes the Debian package into a fresh folder and checks its name, fields, the
# dependencies found by dpkg-shlibdeps, its files and their owners and modes, and lintian.
#
#   check-install.sh tree|package BUILD_DIR SOURCE_DIR MARKER_RELATIVE_TO_BIN WINDOW_BUILT(0|1) VERSION
set -uo pipefail

mode=$1
build=$2
source=$3
marker=$4
window=$5
version=$6

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

case "$mode" in
  tree) tools=(desktop-file-validate update-mime-database man col gzip rsvg-convert compare) ;;
  package) tools=(cpack dpkg-deb dpkg-shlibdeps file lintian readelf) ;;
  *) echo "FAIL: unknown mode $mode"; exit 1 ;;
esac
for tool in "${tools[@]}"; do
  if ! command -v "$tool" >/dev/null; then
    echo "FAIL: $tool is missing (make deps installs it)"
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrix-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

# The programs: the window when it is built, and each folder of tools/ that holds sources.
programs=()
if [ "$window" = 1 ]; then programs+=(vantrix); fi
for dir in "$source"/tools/*/; do
  if compgen -G "$dir*.cpp" >/dev/null; then programs+=("$(basename "$dir")"); fi
done
[ ${#programs[@]} -ge 2 ] || fail "expected the window and at least one tool, found: ${programs[*]}"

expected=(share/vantrix/installed share/vantrix/config.ini share/doc/vantrix/copyright)
for program in "${programs[@]}"; do
  expected+=("bin/$program" "share/man/man1/$program.1.gz")
done
if [ "$window" = 1 ]; then
  expected+=(share/applications/org.example.vantrix.desktop share/metainfo/org.example.vantrix.metainfo.xml
    share/mime/packages/vantrix.xml
    share/icons/hicolor/scalable/apps/vantrix.svg)
  for size in 16 32 48 128; do expected+=("share/icons/hicolor/${size}x${size}/apps/vantrix.png"); done
fi

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures $mode checks failed"
    exit 1
  fi
  echo "$mode: $*"
  exit 0
}

if [ "$mode" = package ]; then
  if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack"
    exit 1
  fi
  deb=$work/vantrix_${version}_$(dpkg --print-architecture).deb
  [ -f "$deb" ] || { ls "$work"; echo "FAIL: no $deb"; exit 1; }

  field() { dpkg-deb -f "$deb" "$1"; }
  [ "$(field Package)" = vantrix ] || fail "Package is '$(field Package)'"
  [ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
  [ -n "$(field Maintainer)" ] || fail "no Maintainer"
  [ -n "$(field Section)" ] || fail "no Section"
  [ -n "$(field Description)" ] || fail "no Description"
  depends=$(field Depends)
  # Found in the programs by dpkg-shlibdeps, each with the least version it needs.
  libraries=(libc6 libstdc++6)
  if [ "$window" = 1 ]; then libraries+=(libqt6core6 libqt6gui6 libqt6widgets6); fi
  for library in "${libraries[@]}"; do
    grep -Eq "(^|, )${library//+/\\+} \\(>= [^)]+\\)" <<<"$depends" || fail "Depends lacks $library: $depends"
  done

  # The same files as a plain install under /usr, and the change log that only the package has.
  printf '%s\n' "${expected[@]/#/usr/}" usr/share/doc/vantrix/changelog.gz | LC_ALL=C sort >"$work/expected"
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\.\//, "", $6); print $6}' | LC_ALL=C sort >"$work/actual"
  if ! diff -u "$work/expected" "$work/actual"; then fail "packaged files differ from the expected list"; fi
  if dpkg-deb -c "$deb" | awk '$2 != "root/root"' | grep .; then fail "files not owned by root"; fi
  if dpkg-deb -c "$deb" | awk '$1 !~ /^d/ && $6 ~ /usr\/bin\// && $1 != "-rwxr-xr-x"' | grep .; then
    fail "programs not 755"
  fi
  if dpkg-deb -c "$deb" | awk '$1 !~ /^d/ && $6 !~ /usr\/bin\// && $1 != "-rw-r--r--"' | grep .; then
    fail "data files not 644"
  fi

  dpkg-deb -x "$deb" "$work/root"
  for program in "${programs[@]}"; do
    sections=$(readelf -S -W "$work/root/usr/bin/$program")
    if grep -Eq ' \.(symtab|debug_info|comment) ' <<<"$sections"; then fail "usr/bin/$program is not stripped"; fi
  done

  # Errors and warnings are to be fixed; informational tags are listed, not fatal.
  lintian --pedantic --display-info "$deb" >"$work/lintian.log" 2>&1
  grep -E '^[A-Z]: ' "$work/lintian.log"
  if grep -Eq '^[EW]: ' "$work/lintian.log"; then fail "lintian reports errors or warnings"; fi
  finish "$(basename "$deb"): fields, dependencies, ${#expected[@]}+1 files and lintian checked"
fi

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi

printf '%s\n' "${expected[@]}" | LC_ALL=C sort >"$work/expected"
(cd "$prefix" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort) >"$work/actual"
if ! diff -u "$work/expected" "$work/actual"; then fail "installed files differ from the expected list"; fi
if [ -n "$(cd "$prefix" && find . -type d -empty)" ]; then fail "empty folders installed"; fi

for program in "${programs[@]}"; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done

# The installed program looks for the marker here, relative to its own folder, and for its
# own settings beside it: the nine default lines and the protocol of today's servers.
[ -f "$prefix/bin/$marker" ] || fail "no marker at bin/$marker"
settings=$(dirname "$prefix/bin/$marker")/config.ini
[ "$(tail -n 1 "$settings" 2>/dev/null)" = $'QueryProtocol=current\r' ] || fail "no QueryProtocol=current in $settings"
[ "$(wc -l <"$settings" 2>/dev/null)" = 10 ] || fail "$settings does not hold ten lines"
case "$(realpath -m "$prefix/bin/$marker")" in
  "$(realpath "$prefix")"/bin/*) fail "the marker lies in the program folder" ;;
  "$(realpath "$prefix")"/*) ;;
  *) fail "the marker lies outside the prefix" ;;
esac

if [ "$window" = 1 ]; then
  desktop=$prefix/share/applications/org.example.vantrix.desktop
  if ! desktop-file-validate "$desktop" >"$work/validate.log" 2>&1; then
    cat "$work/validate.log"
    fail "desktop-file-validate rejects the menu entry"
  fi
  # Hints are advice (two main categories are wanted); errors and warnings are not allowed.
  if grep -E ': (error|warning):' "$work/validate.log"; then fail "desktop-file-validate complains"; fi

  value() { sed -n "s/^$1=//p" "$desktop"; }
  [ "$(value Name)" = "Vantrix" ] || fail "Name is '$(value Name)'"
  [ "$(value GenericName)" = "Game server list" ] || fail "GenericName is '$(value GenericName)'"
  [ "$(value Categories)" = "Game;Network;" ] || fail "Categories is '$(value Categories)'"
  [ "$(value Exec)" = "vantrix %F" ] || fail "Exec is '$(value Exec)'"
  [ -n "$(value Comment)" ] || fail "no Comment"
  exec_program=$(value Exec | cut -d' ' -f1)
  [ -x "$prefix/bin/$exec_program" ] || fail "Exec names $exec_program, which is not installed"
  icon=$(value Icon)
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon $icon has no scalable icon"

  # The software-centre description: its id is the menu entry's name, and it launches that entry.
  metainfo=$prefix/share/metainfo/org.example.vantrix.metainfo.xml
  grep -q "<id>$(basename "$desktop" .desktop)</id>" "$metainfo" || fail "the metainfo's id is not the menu entry's"
  grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" ||
    fail "the metainfo does not launch the menu entry"
  grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo does not name release $version"
  if command -v appstreamcli >/dev/null && ! appstreamcli validate-tree --no-net "$prefix" >"$work/appstream.log" 2>&1; then
    cat "$work/appstream.log"
    fail "appstreamcli rejects the installed tree"
  fi

  # The MIME database must take the type, match *.vnx to it, and the menu entry must name it.
  mime_type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$prefix/share/mime/packages/vantrix.xml")
  [ "$(value MimeType)" = "$mime_type;" ] || fail "MimeType '$(value MimeType)' is not the type '$mime_type'"
  mkdir -p "$work/mime/packages"
  cp "$prefix/share/mime/packages/vantrix.xml" "$work/mime/packages/"
  if ! XDG_DATA_HOME=$work XDG_DATA_DIRS=$work update-mime-database "$work/mime" >"$work/mime.log" 2>&1 || [ -s "$work/mime.log" ]; then
    cat "$work/mime.log"
    fail "update-mime-database does not take the type"
  fi
  grep -qx "$mime_type:\*\.vnx" "$work/mime/globs" || fail "*.vnx is not matched to $mime_type"
  [ -f "$work/mime/$mime_type.xml" ] || fail "no entry for $mime_type in the database"

  # Each PNG has its folder's size and shows what the SVG shows at that size.
  for size in 16 32 48 128; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/vantrix.png
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
      awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [ "$width x $height" = "$size x $size" ] || fail "the ${size}x$size icon is $width x $height"
    rsvg-convert -w "$size" -h "$size" "$prefix/share/icons/hicolor/scalable/apps/vantrix.svg" -o "$work/r$size.png"
    differing=$(compare -metric AE -fuzz 8% "$png" "$work/r$size.png" null: 2>&1)
    [ "$differing" = 0 ] || fail "the ${size}x$size icon differs from the SVG in $differing pixels"
  done
fi

# Manual pages: compressed, filled in, rendered at 80 columns without warnings, and covering
# every option of the program's own help.
for program in "${programs[@]}"; do
  page=$prefix/share/man/man1/$program.1.gz
  gzip -t "$page" || fail "$program.1.gz is not a gzip file"
  if gzip -dc "$page" | grep -n '@[A-Za-z_]*@'; then fail "$program.1 has a placeholder left"; fi
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$program.1 renders with warnings: $warnings"
  MANWIDTH=80 MAN_KEEP_FORMATTING= man -l "$page" 2>/dev/null | col -bx >"$work/$program.txt"
  grep -q "^NAME" "$work/$program.txt" || fail "$program.1 has no NAME section"
  grep -Eq "^ +$program - " "$work/$program.txt" || fail "$program.1 does not name $program"
  too_wide=$(awk 'length > 80' "$work/$program.txt")
  [ -z "$too_wide" ] || fail "$program.1 has lines over 80 columns: $too_wide"
  grep -q "Vantrix [0-9]" "$work/$program.txt" || fail "$program.1 shows no version"

  if [ "$program" != vantrix ]; then
    if ! timeout 10 "$prefix/bin/$program" --help >"$work/$program.help" 2>&1; then
      fail "$program --help fails"
    fi
    options=$(grep -oE '(^|[ ,])--?[a-z][a-z-]*' "$work/$program.help" | tr -d ' ,' | sort -u)
    [ -n "$options" ] || fail "$program --help lists no options"
    for option in $options; do
      grep -qE -- "(^|[ ,])$option([ ,=]|$)" "$work/$program.txt" || fail "$program.1 does not document $option"
    done
  fi
done

finish "${#expected[@]} files in place, ${#programs[@]} programs, menu entry, type, icons and pages checked"

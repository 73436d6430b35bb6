#!/usr/bin/env bash
# Fuzzes the XML reader and the language table for about a minute (clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer). Fails on any finding. $1: the repository root.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
out=${Q350_BUILD_ROOT:-$root/build}/fuzz-lang
seconds=${Q350_FUZZ_SECONDS:-60}
mkdir -p "$out"

sources=(
  "$root/tests/fuzz/lang_fuzz.cpp"
  "$root/lang/code_page.cpp" "$root/lang/html_entities.cpp" "$root/lang/xml_reader.cpp"
  "$root/lang/language_table.cpp" "$root/lang/linux/iconv_code_page.cpp"
  "$root/base/utf.cpp" "$root/base/file_io.cpp" "$root/base/linux/replace_file.cpp"
)
clang++ -std=c++20 -O1 -g -fno-omit-frame-pointer -I"$root" \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  "${sources[@]}" -o "$out/lang_fuzz"

# New inputs go to a scratch corpus; the seeds and the delivered language files are read only.
work="$out/corpus"
artifacts="$out/artifacts"
rm -rf "$artifacts"
mkdir -p "$work" "$artifacts"
seeds=("$root/tests/fuzz/corpus/lang")
[ -d "$root/assets/Language" ] && seeds+=("$root/assets/Language")

status=0
"$out/lang_fuzz" "$work" "${seeds[@]}" -max_total_time="$seconds" -max_len=32768 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
  >"$out/fuzz.log" 2>&1 || status=$?
tail -n 15 "$out/fuzz.log"
if [ "$status" -ne 0 ] || [ -n "$(ls -A "$artifacts")" ]; then
  echo "fuzz-lang: findings in $artifacts (log: $out/fuzz.log)"
  exit 1
fi
echo "fuzz-lang: no findings"

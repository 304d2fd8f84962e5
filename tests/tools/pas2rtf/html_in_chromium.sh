#!/usr/bin/env bash
# pas2rtf's HTML in real readers: tidy finds no errors in the page or the
# fragment; headless Chromium renders the page, reads back the source as the
# code's text, copies the code without its line numbers, and computes the
# scheme's colours, weights and styles. A screenshot shows the colours too.
#   html_in_chromium.sh PAS2RTF SOURCE WORKDIR
# Exits 77 (skipped) when chromium or tidy is not installed.
set -euo pipefail
pas2rtf=$1 source=$2 work=$3
for tool in chromium tidy python3 convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/setup.sh installs it)"
    exit 77
  fi
done
rm -rf "$work"
mkdir -p "$work"
export LUMIVANE_REGISTRY=$work/no-store.reg

"$pas2rtf" --format=html "$source" -o "$work/page.html"
"$pas2rtf" --format=html --line-numbers=7 --font-size=20 "$source" -o "$work/numbered.html"
"$pas2rtf" --format=html --fragment "$source" -o "$work/fragment.html"

# tidy exits 2 for errors; warnings (a fragment has no <title>) are not ours to fix.
for page in page numbered fragment; do
  status=0
  tidy -errors -q "$work/$page.html" >"$work/$page.tidy" 2>&1 || status=$?
  if ((status >= 2)); then
    echo "FAIL: tidy finds errors in $page.html:"
    cat "$work/$page.tidy"
    exit 1
  fi
done

# Each page with a script that reports what the browser made of it.
probe='<script>
const pre = document.querySelector("pre");
const selection = getSelection();
selection.selectAllChildren(pre);
const styles = [...pre.querySelectorAll("span")].map(span => {
  const style = getComputedStyle(span);
  return style.color + (style.fontWeight >= 700 ? " bold" : "") +
         (style.fontStyle == "italic" ? " italic" : "");
});
const report = {inner: pre.innerText, copied: selection.toString(),
                styles: [...new Set(styles)], background: getComputedStyle(pre).backgroundColor};
document.body.innerHTML = "";
const out = document.createElement("pre");
out.id = "report";
out.textContent = JSON.stringify(report);
document.body.appendChild(out);
</script>'
for page in page numbered; do
  python3 - "$work/$page.html" "$work/$page-probe.html" "$probe" <<'PY'
import sys
page = open(sys.argv[1], encoding="utf-8").read()
open(sys.argv[2], "w", encoding="utf-8").write(page.replace("</body>", sys.argv[3] + "</body>"))
PY
  timeout 120 chromium --headless --no-sandbox --disable-gpu --user-data-dir="$work/profile" \
    --dump-dom "file://$work/$page-probe.html" >"$work/$page.dom" 2>"$work/chromium.log"
done

python3 - "$source" "$work" <<'PY'
import html, json, re, sys
source = open(sys.argv[1], encoding="utf-8", errors="replace").read().replace("\r\n", "\n")
work = sys.argv[2]
def report(page):
    dom = open(f"{work}/{page}.dom", encoding="utf-8").read()
    found = re.search(r'<pre id="report">(.*?)</pre>', dom, re.S)
    if not found:
        sys.exit(f"FAIL: Chromium did not run the probe on {page}.html")
    return json.loads(html.unescape(found.group(1)))
plain, numbered = report("page"), report("numbered")
failures = []
if plain["inner"].rstrip("\n") != source.rstrip("\n"):
    failures.append("the page's text is not the source")
lines = source.rstrip("\n").split("\n")
width = len(str(7 + len(lines) - 1))
expected = "\n".join(f"{n + 7:>{width}}  {line}" for n, line in enumerate(lines))
if numbered["inner"].rstrip("\n") != expected:
    failures.append("the numbered page's text is not the numbered source")
if numbered["copied"].rstrip("\n") != source.rstrip("\n"):
    failures.append("a selection of the numbered code does not copy the code alone")
# The default scheme: keywords bold black, comments navy italic, strings
# red, numbers fuchsia, assembler green, on white.
for style in ["rgb(0, 0, 0) bold", "rgb(0, 0, 128) italic", "rgb(255, 0, 0)",
              "rgb(255, 0, 255)", "rgb(0, 128, 0)"]:
    if style not in plain["styles"]:
        failures.append(f"no text is shown as {style}: {plain['styles']}")
if plain["background"] != "rgb(255, 255, 255)":
    failures.append(f"the background is {plain['background']}")
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
PY

# The screenshot: large type, so that solid strokes keep the exact colours.
timeout 120 chromium --headless --no-sandbox --disable-gpu --user-data-dir="$work/profile" \
  --window-size=1200,3600 --screenshot="$work/numbered.png" "file://$work/numbered.html" \
  >>"$work/chromium.log" 2>&1
colours=$(convert "$work/numbered.png" -format %c histogram:info:- | grep -o '#[0-9A-F]\{6\}' | sort -u)
for colour in '#000080' '#FF0000' '#FF00FF' '#008000' '#FFFFFF'; do
  if ! grep -q "$colour" <<<"$colours"; then
    echo "FAIL: the screenshot shows no $colour"
    exit 1
  fi
done
echo "OK: tidy, Chromium's text, copy and colours, and the screenshot"

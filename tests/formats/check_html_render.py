"""Renders a page of mibolan-convert --style=html in headless Chromium and checks from the DOM
that the readings stand above their characters, that the text reads as "人(rén)" without the
ruby layout, and that nothing of the text was lost or taken for markup.

Usage: check_html_render.py MIBOLAN_CONVERT HEADLESS_CHROMIUM WORK_DIR
"""
import html
import json
import pathlib
import re
import subprocess
import sys

# Lines, blanks, CJK and ASCII punctuation, markup characters, a character outside the BMP, a
# Windows line end, a context reading (行 in 银行), and controls that must not act on the page: a
# right-to-left override that would turn the rest of its line around, a terminal's escape.
TEXT = ("静夜思\n"
        "\n"
        "  床前明月光，疑是地上霜。\r\n"
        "举头望明月，低头思故乡。\n"
        "<b>Tom & Jerry's \"book\"</b> 1 < 2 😀 银行\n"
        "\u202e重庆\x1b[2J\u2067\n")
# What the page shows for those controls instead.
SHOWN = {"\u202e": "\ufffd", "\x1b": "\u241b", "\u2067": "\ufffd"}
READINGS = [
    ("静", "jìng"), ("夜", "yè"), ("思", "sī"),
    ("床", "chuáng"), ("前", "qián"), ("明", "míng"), ("月", "yuè"), ("光", "guāng"),
    ("疑", "yí"), ("是", "shì"), ("地", "dì"), ("上", "shàng"), ("霜", "shuāng"),
    ("举", "jǔ"), ("头", "tóu"), ("望", "wàng"), ("明", "míng"), ("月", "yuè"),
    ("低", "dī"), ("头", "tóu"), ("思", "sī"), ("故", "gù"), ("乡", "xiāng"),
    ("银", "yín"), ("行", "háng"),
    ("重", "chóng"), ("庆", "qìng"),
]
FILE_NAME = "poem & <notes>.txt"

# Appended to the page: measures every ruby and writes the results into the DOM.
PROBE = """<script>
const rect = r => ({top: r.top, bottom: r.bottom, left: r.left, right: r.right});
const text = document.querySelector('.text');
const rubies = [...text.querySelectorAll('ruby')].map(ruby => {
  const base = document.createRange();
  base.selectNodeContents(ruby.firstChild);
  return {
    base: ruby.firstChild.textContent,
    reading: ruby.querySelector('rt').textContent,
    baseBox: rect(base.getBoundingClientRect()),
    readingBox: rect(ruby.querySelector('rt').getBoundingClientRect()),
    parenthesesShown: [...ruby.querySelectorAll('rp')].some(rp => rp.getClientRects().length > 0),
  };
});
const strays = [...text.querySelectorAll('*')].map(e => e.tagName).filter(t => !['RUBY', 'RT', 'RP'].includes(t));
const out = document.createElement('pre');
out.id = 'measurements';
out.textContent = JSON.stringify({title: document.title, text: text.textContent, strays, rubies});
document.body.appendChild(out);
</script>
"""


def expected_text():
    readings = iter(READINGS)
    out = []
    for character in TEXT.replace("\r\n", "\n"):  # HTML parsing makes every line end "\n"
        if "\u4e00" <= character <= "\u9fff":
            base, reading = next(readings)
            assert base == character
            out.append(f"{character}({reading})")
        else:
            out.append(SHOWN.get(character, character))
    return "".join(out)


def measure(convert, chromium, work):
    source = work / FILE_NAME
    source.write_bytes(TEXT.encode())
    page = subprocess.run([convert, "--style=html", str(source)], check=True, capture_output=True).stdout
    probe = work / "probe.html"
    probe.write_bytes(page + PROBE.encode())
    dom = subprocess.run([chromium, "--dump-dom", probe.as_uri()], check=True, capture_output=True, text=True).stdout
    found = re.search(r'<pre id="measurements">(.*?)</pre>', dom, re.S)
    if not found:
        sys.exit("FAIL: the page's script wrote no measurements:\n" + dom[-2000:])
    return json.loads(html.unescape(found.group(1)))


def problems(page):
    found = []
    if page["title"] != f"Mibolan – {FILE_NAME}":
        found.append(f"title {page['title']!r}")
    if page["text"] != expected_text():
        found.append(f"text {page['text']!r}\n  expected {expected_text()!r}")
    if page["strays"]:
        found.append(f"markup taken from the text: {page['strays']}")
    pairs = [(ruby["base"], ruby["reading"]) for ruby in page["rubies"]]
    if pairs != READINGS:
        found.append(f"readings {pairs}")
    for ruby in page["rubies"]:
        base, reading = ruby["baseBox"], ruby["readingBox"]
        centre = (reading["left"] + reading["right"]) / 2
        # The boxes take in the fonts' ascent and descent, so they may overlap a little.
        above = reading["top"] < base["top"] and reading["bottom"] <= base["top"] + (base["bottom"] - base["top"]) / 3
        if not above or not base["left"] <= centre <= base["right"]:
            found.append(f"{ruby['base']}: reading at {reading}, character at {base}")
        if ruby["parenthesesShown"]:
            found.append(f"{ruby['base']}: the parentheses show")
    # The first characters of the text's three lines with Chinese stand on three lines, in order.
    tops = [ruby["baseBox"]["top"] for ruby in page["rubies"] if ruby["base"] in "静床举"]
    if len(tops) != 3 or not tops[0] < tops[1] < tops[2]:
        found.append(f"lines not kept: first characters at {tops}")
    # Every line reads left to right, the one after the override too.
    for first, second in zip(page["rubies"], page["rubies"][1:]):
        if first["baseBox"]["top"] == second["baseBox"]["top"] and first["baseBox"]["left"] >= second["baseBox"]["left"]:
            found.append(f"{first['base']}{second['base']} read right to left")
    return found


def main():
    convert, chromium, work = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
    work.mkdir(parents=True, exist_ok=True)
    found = problems(measure(convert, chromium, work))
    for problem in found:
        print("FAIL:", problem, file=sys.stderr)
    print(f"{len(READINGS)} readings rendered above their characters" if not found else f"{len(found)} problem(s)")
    sys.exit(1 if found else 0)


if __name__ == "__main__":
    main()

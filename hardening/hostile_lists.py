#!/usr/bin/env python3
"""Feeds every program generated list files full of hostile texts, in all
four list encodings, and checks the outputs with real parsers.

- every XML or KML output passes `xmllint --noout` (one call for all files);
- the inline scripts of every page compile in node (V8's own parser, one
  node process for all pages), and run against stubs of the libraries they
  call, so that the values of their strings can be read;
- sampled texts reach the parsed value unchanged: site names the KML
  <name> of their placemark (Python's expat), Netloom node labels the
  label strings of the network's nodes, site names Markwell's info windows;
- no run crashes, every run ends with status 0 or 1 (Vistacraft, Netloom:
  a run may fail on a missing panorama or an unresolved name), and the list
  file stays byte for byte as it was.

Usage: hostile_lists.py --bin BUILD/bin [--count N] [--seed S]
"""
import argparse
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# Texts that break outputs that do not escape them.
HOSTILE = [
    "&", "<", ">", '"', "'", "\\", "]]>", "</script>", "</SCRIPT >", "<!--", "<![CDATA[",
    "&#38;", "&#60", "&#x3C;", "&#34;", "&#39;", "&#92;", "&#10;", "&#13;", "&#0;", "&#1;", "&#65535;",
    "&#1114112;", "&#55296;", "&#99999999999;", "U+0026", "U+003C", "U+0022", "U+0027", "U+005C", "U+000A",
    "U+FFFF", "U+D800", "&amp;", "&lt;", "&nbsp;", "&#", "&#;", "\\x", "\\u12", "\\'", "%s", "%d", "%%",
    "한국어", "가나다", "😀", "𝄞", "é", "ß", "丂", "\t", "\x01", "\x1b", "\x7f", "\x00", "　",
]
# Texts whose value is known after the output conversion: used where the
# value is checked (no control characters, no references the conversion
# keeps as XML references, no backslash escapes, no blanks at the ends).
SAMPLE = [
    "&", "<", ">", '"', "'", "]]>", "</script>", "</SCRIPT", "<!--", "&#38;", "&#60;", "&#34;", "&#39;",
    "&#92;", "U+0026", "U+003C", "U+0022", "U+0027", "U+005C", "한국어", "가나다", "😀", "é", "abc", "%s", "%%",
    "Hall", "x&y", "a<b>c", "&amp", "&#1234;", "U+0041",
]
NUMBERS = ["37.5", "-12", "0", "99999999999999", "-99999999999", "1e400", "-1e-400", "nan", "0x10", "12<3",
           "&#60;", "", "3.14abc", "+5", "1,5"]

ENCODINGS = ["ansi", "utf8", "utf16le", "utf16be"]


def hostile(rng, words=4, blanks=True):
    parts = [rng.choice(HOSTILE) for _ in range(rng.randint(1, words))]
    text = (" " if blanks and rng.random() < 0.5 else "").join(parts)
    return text


def word(rng):
    """A hostile text without blanks, '$' or line breaks: one field of a record."""
    text = "".join(rng.choice(HOSTILE) for _ in range(rng.randint(1, 3)))
    return re.sub(r"[\s$\x00]", "", text) or "w"


def sample(rng, blanks=True):
    parts = [rng.choice(SAMPLE) for _ in range(rng.randint(1, 4))]
    return (" " if blanks else "").join(parts)


def value_of(text):
    """The text as the reader of an output sees it: the conversion's numeric
    references and hex markup become their characters."""
    def reference(m):
        v = int(m.group(1))
        return chr(v) if 0 < v <= 0x10FFFF and not 0xD800 <= v <= 0xDFFF else "\ufffd"
    text = re.sub(r"&#([0-9]+);?", reference, text)
    return re.sub(r"U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), text)


def encode(text, encoding):
    if encoding == "ansi":
        # Characters outside KS X 1001 are written as numeric references, as
        # an editor of an ANSI list must.
        return text.encode("euc_kr", errors="xmlcharrefreplace")
    if encoding == "utf8":
        return b"\xef\xbb\xbf" + text.encode("utf-8", errors="surrogatepass")
    if encoding == "utf16le":
        return b"\xff\xfe" + text.encode("utf-16-le", errors="surrogatepass")
    return b"\xfe\xff" + text.encode("utf-16-be", errors="surrogatepass")


def noise(rng, lines):
    """Lines a reader must survive: over-long lines, NUL bytes, comments,
    unknown sections are added by the callers; these go anywhere."""
    if rng.random() < 0.2:
        lines.insert(rng.randint(0, len(lines)), "x" * rng.randint(990, 2100) + " $" + hostile(rng))
    if rng.random() < 0.2:
        lines.insert(rng.randint(0, len(lines)), hostile(rng) + "\x00" + hostile(rng))
    if rng.random() < 0.1:
        lines.insert(rng.randint(0, len(lines)), "")


# ---- menu scripts: Portalcraft, Markwell, Globewell ------------------------

def menu_script(rng):
    lines = ["#PROJECT"]
    for k in range(rng.choice([0, 1, 3, 5, 7])):
        lines.append("P%d %s" % (k + 1, hostile(rng)))
    lines.append("#SITE")
    count = rng.choice([0, 1, 2, 3, 5, 12, 31, 101, 105])
    names = []
    clean = True
    for _ in range(count):
        name = sample(rng)
        # A '#' in the first word makes a section line: kept out of the words.
        scene = word(rng) + rng.choice(["", ".scene_03", ".htm", ".html", ".xml", "." + word(rng)])
        lat = rng.choice(NUMBERS) or "1"
        lon = rng.choice(NUMBERS) or "2"
        fields = [word(rng), scene, lat, lon]
        lines.append("%s $%s" % (" ".join(f.replace("#", "") or "w" for f in fields), name))
        names.append(name)
    if rng.random() < 0.3:
        clean = False
        lines.append(rng.choice(["hall only two $" + hostile(rng), "no dollar sign here " + hostile(rng),
                                 "#BOGUS", "a b c d $" + hostile(rng)]))
        lines.append("a b 1 2 $" + hostile(rng))
    if rng.random() < 0.8:
        lines += ["#HOST", rng.choice(["/VR/halls/", hostile(rng), word(rng)])]
    if rng.random() < 0.3:
        clean = False
        noise(rng, lines)
    return "\n".join(lines) + rng.choice(["\n", "", "\n\n"]), (names if clean else None)


# ---- ontology data files: Netloom -------------------------------------------

def ontology(rng):
    classes = ["c%d" % k for k in range(rng.choice([1, 2, 5, 101]))]
    relations = ["r%d" % k for k in range(rng.choice([1, 3, 101]))]
    nodes = ["n%d" % k for k in range(rng.choice([1, 2, 10, 40, 501]))]
    lines = ["#PROJECT", "TITLE " + word(rng), "AUTHOR " + hostile(rng)]
    lines.append("#CLASS")
    for c in classes:
        lines.append("%s %s %s" % (c, rng.choice(["red", "#ff0000", word(rng)]),
                                   rng.choice(["dot", "box", "ellipse", word(rng)])))
    lines.append("#RELATION")
    for r in relations:
        lines.append("%s %s %s %s" % (r, word(rng), rng.choice(["ARROW", "INVERSE", "BOTH", "NONE", word(rng)]),
                                      rng.choice(["1", "2", "3", "4", "99999999999", "-1", "x"])))
    lines.append("#NODES")
    labels = {}
    for n in nodes[:500]:
        label = sample(rng, blanks=False)
        labels[n] = label
        lines.append("%s %s %s %s %s %s" % (n, rng.choice(classes[:100]), label,
                                            rng.choice(["NULL", word(rng) + ".htm", "http://x/?a=1&b=2"]),
                                            rng.choice(["NULL", word(rng) + ".png"]),
                                            rng.choice(["0", "1", "2", "7", "99999999999", word(rng)])))
    for n in nodes[500:]:
        lines.append("%s %s %s NULL" % (n, classes[0], word(rng)))
    lines.append("#LINKS")
    for _ in range(rng.choice([0, 1, 10, 760])):
        lines.append("%s %s %s %s" % (rng.choice(nodes[:500]), rng.choice(nodes[:500]),
                                      rng.choice(relations[:100]), rng.choice(["", "1st", word(rng)])))
    clean = len(nodes) <= 500
    if rng.random() < 0.2:
        clean = False
        lines.insert(rng.randint(1, len(lines)), rng.choice(["#BOGUS", "n9999 nosuchclass x NULL"]))
    if rng.random() < 0.3:
        clean = False
        noise(rng, lines)
    # Underscores are shown as blanks in labels: the sampled labels have none.
    return "\n".join(lines) + "\n", (labels if clean else None)


# ---- scene scripts: Vistacraft -------------------------------------------------

def scene_script(rng):
    scenes = ["s%d" % k for k in range(rng.choice([1, 2, 3, 13]))]
    lines = ["// " + hostile(rng)]
    for s in scenes:
        lines += ["#SCENE", "%s %s %s $%s" % (s, rng.choice(NUMBERS) or "0", rng.choice(NUMBERS) or "0", hostile(rng))]
        for _ in range(rng.choice([0, 1, 3, 31])):
            lines += ["#CROSSLINK", "%s %s %s %s %s $%s" % (rng.choice(scenes), rng.choice(NUMBERS) or "1",
                                                            rng.choice(NUMBERS) or "2", word(rng),
                                                            rng.choice(NUMBERS) or "3", hostile(rng))]
        if rng.random() < 0.5:
            lines += ["#OUTLINK", "%s(%s) 1 2 %s 90 $%s" % (word(rng), word(rng), word(rng), hostile(rng))]
        if rng.random() < 0.5:
            lines += ["#STILL", "%s 30 10 %s 1 0 0 0 $%s" % (word(rng), rng.choice(NUMBERS) or "1", hostile(rng))]
        if rng.random() < 0.5:
            lines += ["#VIDEO", "%s 1 2 %s $%s" % (word(rng), rng.choice(["1", "2", "3", "9"]), hostile(rng))]
        if rng.random() < 0.5:
            lines += ["#REFERENCE", "%s 1 2 %s 0.5 $%s" % (word(rng), word(rng), hostile(rng))]
        if rng.random() < 0.5:
            lines += ["#GALLERY", "*%s 1 2 $%s" % (word(rng), hostile(rng))]
            for _ in range(rng.choice([1, 3, 101])):
                lines.append("%s %s 0.5 %s $%s" % (word(rng), rng.choice(["1", "2", "7"]),
                                                    rng.choice(["$", word(rng) + ".htm"]), hostile(rng)))
    clean = rng.random() < 0.7
    if not clean:
        noise(rng, lines)  # may name a scene that has no pano.xml
    return "\n".join(lines) + "\n", scenes, clean


PANO = """<krpano version="1.19" title="hall" onstart="">
\t<image type="CUBE" multires="true" tilesize="512">
\t\t<level tiledimagewidth="640" tiledimageheight="640">
\t\t\t<cube url="panos/hall.tiles/%s/l1/%v/l1_%s_%v_%h.jpg" />
\t\t</level>
\t</image>
</krpano>
"""

NODE_CHECK = r"""
// Compiles the inline scripts of each page and runs them against stubs that
// record every string passed to the libraries they call.
const fs = require('fs');
const vm = require('vm');
const jobs = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
const failures = [];
for (const job of jobs) {
  const html = fs.readFileSync(job.page, 'utf8');
  const scripts = [];
  const re = /<script\b([^>]*)>([\s\S]*?)<\/script\s*>/gi;
  let m;
  while ((m = re.exec(html)) !== null) if (!/\bsrc\s*=/.test(m[1])) scripts.push(m[2]);
  if (scripts.length === 0) { failures.push(job.page + ': no inline script'); continue; }
  const strings = new Set();
  const collect = (v, depth) => {
    if (depth > 8 || v === null || v === undefined) return;
    if (typeof v === 'string') { strings.add(v); return; }
    if (typeof v === 'object' && !v.__stub) for (const k of Object.keys(v)) collect(v[k], depth + 1);
  };
  // Callbacks handed to the libraries (event listeners, ready handlers) are
  // called once, so that the strings they build are seen too.
  let calls = 0;
  const callBack = (f) => { if (calls++ < 200) try { f(stub(), stub()); } catch (e) {} };
  const take = (args) => { for (const a of args) { if (typeof a === 'function' && !a.__stub) callBack(a); else collect(a, 0); } };
  const stub = () => {
    const f = function () {};
    return new Proxy(f, {
      get(t, p) { if (p === '__stub') return true; if (p === Symbol.toPrimitive) return () => ''; return stub(); },
      set(t, p, v) { if (typeof v === 'function') callBack(v); else collect(v, 0); return true; },
      apply(t, self, args) { take(args); return stub(); },
      construct(t, args) { take(args); return stub(); },
    });
  };
  const sandbox = { console: { log() {} } };
  const context = vm.createContext(new Proxy(sandbox, {
    get(t, p) {
      if (p in t) return t[p];
      if (typeof p === 'string' && p in globalThis && !['window', 'document', 'navigator'].includes(p)) return globalThis[p];
      return stub();
    },
    has() { return true; },
  }));
  let ok = true;
  for (const source of scripts) {
    let script;
    try { script = new vm.Script(source, { filename: job.page }); }
    catch (e) { failures.push(job.page + ': ' + e.message); ok = false; continue; }
    try { script.runInContext(context, { timeout: 2000 }); } catch (e) { /* the stubs are no browser */ }
  }
  // Functions the page calls from its markup (onload="initialize()").
  for (const name of Object.keys(sandbox)) if (typeof sandbox[name] === 'function') callBack(sandbox[name]);
  for (const name of Object.keys(sandbox)) collect(sandbox[name], 0);
  if (!ok) continue;
  for (const want of job.exact || []) if (!strings.has(want)) failures.push(job.page + ': no string value ' + JSON.stringify(want));
  for (const want of job.within || []) {
    let found = false;
    for (const s of strings) if (s.includes(want)) { found = true; break; }
    if (!found) failures.push(job.page + ': no string holds ' + JSON.stringify(want));
  }
}
for (const f of failures.slice(0, 40)) console.log(f);
process.exit(failures.length ? 1 : 0);
"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--count", type=int, default=200, help="list files per format")
    parser.add_argument("--seed", type=int, default=20171023)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    failures = []
    work = tempfile.mkdtemp(prefix="halvane-hostile-")
    xml_files, node_jobs, kml_checks = [], [], []

    def run(program, argument, folder, list_path, allowed=(0,)):
        before = open(list_path, "rb").read()
        r = subprocess.run([os.path.join(args.bin, program), argument], cwd=folder, stdin=subprocess.DEVNULL,
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        if r.returncode not in allowed:
            failures.append("%s in %s: exit status %d\n%s" % (program, folder, r.returncode,
                                                              r.stderr.decode("utf-8", "replace")[-2000:]))
        if open(list_path, "rb").read() != before:
            failures.append("%s in %s: the list file changed" % (program, folder))
        return r.returncode

    try:
        for k in range(args.count):
            encoding = ENCODINGS[k % 4]

            # Menu scripts: Portalcraft, Markwell and Globewell, each in a folder of its own.
            text, names = menu_script(rng)
            data = encode(text, encoding)
            for program, out in (("portalcraft", ["hallf.xml", "hallm.xml", "hallg.xml", "hall.kml"]),
                                 ("markwell", []), ("globewell", ["hall.kml"])):
                folder = os.path.join(work, "menu%03d-%s" % (k, program))
                os.makedirs(folder)
                with open(os.path.join(folder, "hall.lst"), "wb") as f:
                    f.write(data)
                run(program, "hall", folder, os.path.join(folder, "hall.lst"))
                xml_files += [os.path.join(folder, name) for name in out if os.path.exists(os.path.join(folder, name))]
                capacity = 30 if program == "portalcraft" else 100
                if program in ("portalcraft", "globewell") and names is not None:
                    kml_checks.append((os.path.join(folder, "hall.kml"), [value_of(n) for n in names[:capacity]]))
                if program == "portalcraft":
                    node_jobs.append({"page": os.path.join(folder, "index.htm")})
                if program == "markwell":
                    job = {"page": os.path.join(folder, "hallNmap.htm")}
                    if names is not None and names:
                        job["within"] = [value_of(n) for n in names[:capacity][:5]]
                    node_jobs.append(job)

            # Ontology data files: Netloom.
            text, labels = ontology(rng)
            folder = os.path.join(work, "onto%03d" % k)
            os.makedirs(folder)
            with open(os.path.join(folder, "onto.lst"), "wb") as f:
                f.write(encode(text, encoding))
            status = run("netloom", "onto.lst", folder, os.path.join(folder, "onto.lst"), allowed=(0, 1))
            if status == 0:
                job = {"page": os.path.join(folder, "onto.htm")}
                if labels:
                    job["exact"] = [value_of(v) for v in list(labels.values())[:20]]
                node_jobs.append(job)
            elif labels is not None:
                failures.append("netloom in %s: a file whose names all resolve failed" % folder)

            # Scene scripts: Vistacraft, every scene with its pano.xml.
            text, scenes, clean = scene_script(rng)
            folder = os.path.join(work, "tour%03d" % k)
            os.makedirs(folder)
            for s in scenes:
                os.makedirs(os.path.join(folder, s), exist_ok=True)
                with open(os.path.join(folder, s, "pano.xml"), "w") as f:
                    f.write(PANO)
            with open(os.path.join(folder, "Tour.lst"), "wb") as f:
                f.write(encode(text, encoding))
            status = run("vistacraft", "Tour.lst", folder, os.path.join(folder, "Tour.lst"),
                         allowed=(0,) if clean else (0, 1))
            if status == 0:
                xml_files += [os.path.join(folder, n) for n in ("Tour.xml", "loadPanoScene.xml")]
                node_jobs += [{"page": os.path.join(folder, n)} for n in ("Tour.htm", "Tourscene.htm")]

        # Every XML and KML output, in one xmllint call.
        missing = [f for f in xml_files if not os.path.exists(f)]
        failures += ["missing output %s" % f for f in missing]
        present = [f for f in xml_files if os.path.exists(f)]
        r = subprocess.run(["xmllint", "--noout"] + present, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if r.returncode != 0:
            failures.append("xmllint:\n" + r.stdout.decode("utf-8", "replace")[:4000])

        # Site names reach the placemarks' <name>.
        for path, expected in kml_checks:
            if not os.path.exists(path):
                continue
            try:
                root = ET.parse(path).getroot()
            except ET.ParseError as e:
                failures.append("%s: %s" % (path, e))
                continue
            got = [(p.findtext("{*}name") or "") for p in root.iter() if p.tag.endswith("}Placemark")]
            if [g.strip() for g in got] != [e.strip() for e in expected]:
                failures.append("%s: placemark names %r, expected %r" % (path, got[:5], expected[:5]))

        # Every page's inline scripts, in one node process.
        jobs = os.path.join(work, "jobs.json")
        with open(jobs, "w") as f:
            json.dump([j for j in node_jobs if os.path.exists(j["page"])], f)
        checker = os.path.join(work, "check.js")
        with open(checker, "w") as f:
            f.write(NODE_CHECK)
        r = subprocess.run(["node", checker, jobs], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if r.returncode != 0:
            failures.append("node:\n" + r.stdout.decode("utf-8", "replace")[:6000])

        values = sum(len(j.get("exact", [])) + len(j.get("within", [])) for j in node_jobs)
        print("%d list files per format in four encodings: %d XML files, %d pages, %d KML files with their "
              "names checked, %d script string values checked" %
              (args.count, len(present), len(node_jobs), len(kml_checks), values))
    finally:
        if failures:
            print("\n".join(failures[:30]))
            print("outputs kept in %s" % work)
        else:
            shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

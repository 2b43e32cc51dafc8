#!/usr/bin/env python3
"""Runs the examples of a language reference page and compares their output.

An example is a fenced block whose info string starts with "cor": the script.
The blocks right after it (only blank lines between) say what it must give:
  ```out      the console log, byte for byte
  ```speech   the speech log
  ```screen   the screen at exit
The console log or the speech log must be there (where the console log is
long, as when a menu draws its items at every move, the speech log is
clearer). A screen block may leave out the empty rows at its end.
Words after "cor" in the script's info string, shell-quoted:
  keys=KEYS    the keys to type (the --keys notation of corvante)
  status=N     the expected exit status (default 0)
  args=WORDS   the script's arguments, separated by blanks
  norun=WHY    the example is shown but not run (a network peer, a desktop,
               real audio); it then has no expected blocks.
Each example runs through tests/scripts/run_script_test.py, so it is judged
as a script test is.

Options:
  --keywords FILE   every keyword of the command table in FILE (a C++
                    source with the `keywords` array) must be the subject
                    of a heading of the pages
  --help-of         every option that `corvante --help` prints must be
                    named in the pages, and every "--option" the pages name
                    must be one that --help prints
  --most-unrun N    fail when more than N examples are marked norun
Links between the pages (`[text](page.md#anchor)`, `[text](#anchor)`) must
lead to a page given and to one of its headings.
"""
import argparse
import os
import re
import shlex
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RUNNER = os.path.join(HERE, "..", "scripts", "run_script_test.py")
screen_rows = 25
FENCE = re.compile(r"^(`{3,})\s*(.*)$")


class Example:
    def __init__(self, page, line, attributes, script):
        self.page = page
        self.line = line
        self.attributes = attributes
        self.script = script
        self.expected = {}

    def where(self):
        return f"{self.page}:{self.line}"


def read_blocks(path):
    """Yields (line number, info string, text) for each fenced block."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    index = 0
    while index < len(lines):
        match = FENCE.match(lines[index])
        if not match:
            yield (index + 1, None, lines[index])
            index += 1
            continue
        fence, info = match.group(1), match.group(2).strip()
        start = index
        body = []
        index += 1
        while index < len(lines) and lines[index].strip() != fence:
            body.append(lines[index])
            index += 1
        if index == len(lines):
            raise ValueError(f"{path}:{start + 1}: block never closed")
        index += 1
        yield (start + 1, info, "".join(line + "\n" for line in body))


def parse_info(info, where):
    words = shlex.split(info)
    attributes = {}
    for word in words[1:]:
        key, equals, value = word.partition("=")
        if not equals or key not in ("keys", "status", "args", "norun"):
            raise ValueError(f"{where}: unknown example attribute {word!r}")
        attributes[key] = value
    return attributes


def extract_examples(path):
    """The examples of one page; raises ValueError for a malformed one."""
    page = os.path.basename(path)
    examples = []
    current = None
    for line, info, text in read_blocks(path):
        if info is None:
            if text.strip() and current is not None:
                current = None  # prose ends the blocks that belong to an example
            continue
        language = info.split()[0] if info else ""
        if language == "cor":
            current = Example(page, line, parse_info(info, f"{page}:{line}"), text)
            examples.append(current)
        elif language in ("out", "speech", "screen"):
            if current is None:
                raise ValueError(f"{page}:{line}: ```{language} block without a ```cor example before it")
            if language in current.expected:
                raise ValueError(f"{page}:{line}: second ```{language} block for one example")
            current.expected[language] = text
        else:
            current = None
    for example in examples:
        unrun = "norun" in example.attributes
        if unrun and example.expected:
            raise ValueError(f"{example.where()}: an example marked norun has expected output")
        if unrun and not example.attributes["norun"].strip():
            raise ValueError(f"{example.where()}: norun needs a reason")
        if not unrun and "out" not in example.expected and "speech" not in example.expected:
            raise ValueError(f"{example.where()}: example without an ```out or ```speech block (or norun=WHY)")
    return examples


def run_example(corvante, example, folder):
    base = os.path.join(folder, "example")
    files = {".cor": example.script}
    for kind, suffix in (("out", ".out"), ("speech", ".speech"), ("screen", ".screen")):
        if kind in example.expected:
            files[suffix] = example.expected[kind]
    if "keys" in example.attributes:
        files[".options"] = "--keys\n" + example.attributes["keys"] + "\n"
    if "status" in example.attributes:
        files[".status"] = example.attributes["status"] + "\n"
    if "args" in example.attributes:
        files[".args"] = "".join(word + "\n" for word in example.attributes["args"].split())
    if ".screen" in files:
        rows = files[".screen"].split("\n")[:-1]
        files[".screen"] = "".join(row + "\n" for row in rows + [""] * (screen_rows - len(rows)))
    for suffix, text in files.items():
        with open(base + suffix, "w", encoding="utf-8", newline="") as f:
            f.write(text)
    result = subprocess.run([sys.executable, RUNNER, corvante, base + ".cor"], capture_output=True, timeout=120)
    return result.returncode == 0, result.stdout.decode("utf-8", "replace") + result.stderr.decode("utf-8", "replace")


def keywords_of(source):
    """The keywords of the command table's `keywords` array, as text."""
    with open(source, encoding="utf-8") as f:
        text = f.read()
    match = re.search(r"keywords\[\]\s*=\s*\{(.*?)\};", text, re.S)
    if not match:
        raise ValueError(f"{source}: no keywords array")
    words = []
    for literal in re.findall(r'"((?:[^"\\]|\\.)*)"', match.group(1)):
        raw = re.sub(r"\\x([0-9A-Fa-f]{2})", lambda m: chr(int(m.group(1), 16)), literal)
        words.append(raw)
    return words


def headings_of(paths):
    headings = []
    for path in paths:
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line.startswith("#"):
                    headings.append(line)
    return headings


def check_keywords(source, paths):
    words_in_headings = set()
    for heading in headings_of(paths):
        words_in_headings.update(re.findall(r"`([^`]+)`", heading))
    missing = [word for word in keywords_of(source) if word not in words_in_headings]
    return [f"keyword {word} has no heading" for word in missing]


def slug_of(heading):
    """The anchor that a Markdown renderer gives a heading."""
    text = heading.lstrip("#").strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def check_links(paths):
    anchors = {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            text = f.read()
        text = re.sub(r"^```.*?^```", "", text, flags=re.S | re.M)
        anchors[os.path.basename(path)] = {slug_of(line) for line in text.split("\n") if line.startswith("#")}
    problems = []
    for path in paths:
        page = os.path.basename(path)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        for target in re.findall(r"\]\(([^)\s]+)\)", text):
            if "://" in target:
                continue
            file_part, _, anchor = target.partition("#")
            linked = os.path.basename(file_part) if file_part else page
            if file_part and not file_part.startswith("docs/") and "/" in file_part:
                continue
            if linked not in anchors:
                if file_part.endswith(".md") and os.path.dirname(file_part) == "":
                    problems.append(f"{page}: link to {target}: no such page")
                continue
            if anchor and anchor not in anchors[linked]:
                problems.append(f"{page}: link to {target}: no such heading")
    return problems


def check_options(corvante, paths):
    help_text = subprocess.run([corvante, "--help"], capture_output=True, timeout=30).stdout.decode()
    offered = set(re.findall(r"^\s+(--[a-z-]+)", help_text, re.M))
    if not offered:
        return ["corvante --help lists no options"]
    named = set()
    for path in paths:
        with open(path, encoding="utf-8") as f:
            named.update(re.findall(r"`(--[a-z-]+)", f.read()))
    problems = [f"option {option} of --help is not described" for option in sorted(offered - named)]
    problems += [f"option {option} is described but --help has no such option" for option in sorted(named - offered)]
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("corvante")
    parser.add_argument("pages", nargs="+")
    parser.add_argument("--keywords")
    parser.add_argument("--help-of", action="store_true")
    parser.add_argument("--most-unrun", type=int)
    arguments = parser.parse_args()
    arguments.corvante = os.path.abspath(arguments.corvante)

    problems = []
    examples = []
    for page in arguments.pages:
        try:
            examples += extract_examples(page)
        except ValueError as error:
            problems.append(str(error))
    problems += check_links(arguments.pages)
    if arguments.keywords:
        problems += check_keywords(arguments.keywords, arguments.pages)
    if arguments.help_of:
        problems += check_options(arguments.corvante, arguments.pages)
    unrun = [example for example in examples if "norun" in example.attributes]
    if arguments.most_unrun is not None and len(unrun) > arguments.most_unrun:
        problems.append(f"{len(unrun)} examples are not run; at most {arguments.most_unrun} may be")

    ran = 0
    for example in examples:
        if "norun" in example.attributes:
            continue
        with tempfile.TemporaryDirectory() as folder:
            passed, report = run_example(arguments.corvante, example, folder)
        ran += 1
        if not passed:
            problems.append(f"{example.where()}: the example gives another result\n{report}")
    for problem in problems:
        print(problem)
    print(f"{ran} examples run, {len(unrun)} shown only, {len(problems)} problems")
    return 1 if problems or ran == 0 else 0


if __name__ == "__main__":
    sys.exit(main())

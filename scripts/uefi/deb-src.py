#!/usr/bin/env python3
"""Prints deb-src entries (deb822) for the Debian sources this machine
already uses for its release's main component: the same mirror, suite and
signing key, only the type changed. Nothing is printed when none is found.

  deb-src.py [CODENAME]     default: VERSION_CODENAME of /etc/os-release
"""

import glob
import re
import sys

OWN = "kovrin-deb-src.sources"


def codename():
    for line in open("/etc/os-release", encoding="utf-8"):
        key, _, value = line.strip().partition("=")
        if key == "VERSION_CODENAME":
            return value.strip('"')
    return ""


def one_line_entries(path):
    for line in open(path, encoding="utf-8", errors="replace"):
        line = line.split("#", 1)[0].strip()
        options = {}
        match = re.match(r"^(deb)\s+\[([^\]]*)\]\s+(.*)$", line)
        if match:
            for option in match.group(2).split():
                key, _, value = option.partition("=")
                options[key] = value
            words = [match.group(1)] + match.group(3).split()
        else:
            words = line.split()
        if len(words) >= 4 and words[0] == "deb":
            yield {"Types": ["deb"], "URIs": [words[1]], "Suites": [words[2]],
                   "Components": words[3:], "Signed-By": options.get("signed-by", "")}


def deb822_entries(path):
    text = open(path, encoding="utf-8", errors="replace").read()
    for stanza in re.split(r"\n\s*\n", text):
        fields = {}
        for line in stanza.splitlines():
            if line.startswith("#") or ":" not in line or line[:1].isspace():
                continue
            key, _, value = line.partition(":")
            fields[key.strip()] = value.strip()
        if fields.get("Enabled", "yes").lower() == "no":
            continue
        yield {"Types": fields.get("Types", "").split(), "URIs": fields.get("URIs", "").split(),
               "Suites": fields.get("Suites", "").split(),
               "Components": fields.get("Components", "").split(), "Signed-By": fields.get("Signed-By", "")}


def main():
    release = sys.argv[1] if len(sys.argv) > 1 else codename()
    entries = []
    for path in ["/etc/apt/sources.list"] + sorted(glob.glob("/etc/apt/sources.list.d/*.list")):
        try:
            entries += one_line_entries(path)
        except OSError:
            pass
    for path in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
        if not path.endswith("/" + OWN):
            entries += deb822_entries(path)
    seen = set()
    for entry in entries:
        if "deb" not in entry["Types"] or release not in entry["Suites"] or "main" not in entry["Components"]:
            continue
        for uri in entry["URIs"]:
            if uri in seen:
                continue
            seen.add(uri)
            print("Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main" % (uri, release))
            if entry["Signed-By"]:
                print("Signed-By: %s" % entry["Signed-By"])
            print()


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the man page of velkor-cli from its own --help texts:
    man-page.py VELKOR_CLI VERSION OUTPUT
The overview comes from `velkor-cli --help`, each command's section from
`velkor-cli COMMAND --help`."""
import os
import subprocess
import sys


def roff(text):
    out = []
    for line in text.rstrip("\n").split("\n"):
        line = line.replace("\\", "\\e")
        if line.startswith((".", "'")):
            line = "\\&" + line
        out.append(line if line.strip() else ".PP")
    return "\n".join(out)


def main():
    cli, version, output = sys.argv[1:4]
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    overview = subprocess.run([cli, "--help"], capture_output=True, text=True, env=env)
    text = overview.stdout or overview.stderr
    lines = text.split("\n")
    commands = []
    in_commands = False
    for line in lines:
        if line.startswith("Commands:"):
            in_commands = True
            continue
        if in_commands:
            if not line.startswith("  "):
                in_commands = False
                continue
            commands.append(line.split()[0])
    page = [
        f'.TH VELKOR-CLI 1 "" "Velkor {version}" "User Commands"',
        ".SH NAME",
        "velkor-cli \\- batch work on Velkor station files (.lcp)",
        ".SH SYNOPSIS",
        ".B velkor-cli",
        ".I COMMAND",
        "[\\fIARGS\\fR...]",
        ".SH DESCRIPTION",
        ".nf",
        roff(text),
        ".fi",
        ".SH COMMANDS",
    ]
    for command in commands:
        r = subprocess.run([cli, command, "--help"], capture_output=True, text=True, env=env)
        page += [f".SS {command}", ".nf", roff(r.stdout or r.stderr), ".fi"]
    page += [".SH SEE ALSO", "The desktop program \\fBvelkor\\fR draws and edits the stations."]
    with open(output, "w", encoding="utf-8") as f:
        f.write("\n".join(page) + "\n")


if __name__ == "__main__":
    main()

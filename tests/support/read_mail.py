#!/usr/bin/env python3
"""Reads a message file as a mail program would, with Python's own email package, for the
mail tests: a line per header and per line of the text, fields separated by tabs; each
attachment is saved into the folder given second and listed with its name, type and
charset."""
import email
import email.policy
import os
import sys

sys.stdout.reconfigure(encoding="utf-8")
with open(sys.argv[1], "rb") as file:
    message = email.message_from_binary_file(file, policy=email.policy.default)
for header in ("From", "To", "Subject", "Date", "Message-ID", "MIME-Version"):
    print(header.lower(), message.get(header, ""), sep="\t")
print("date-parsed", message["Date"].datetime is not None if message["Date"] else False,
      sep="\t")
print("to-addresses", ",".join(a.addr_spec for a in message["To"].addresses), sep="\t")
body = message.get_body(preferencelist=("plain",))
print("body-type", body.get_content_type(), body.get_content_charset(), sep="\t")
for line in body.get_content().splitlines():
    print("body", line, sep="\t")
for number, part in enumerate(message.iter_attachments()):
    name = part.get_filename()
    path = os.path.join(sys.argv[2], f"allegato-{number}{os.path.splitext(name or '')[1]}")
    with open(path, "wb") as out:
        out.write(part.get_payload(decode=True))
    print("attachment", name, part.get_content_type(), part.get_content_charset() or "-", path,
          sep="\t")

#!/ usr / bin / env python3
"""A receiving SMTP server for the mail tests (aiosmtpd, Debian's python3-aiosmtpd): it
listens on a free loopback port, writes that port as its first line on standard output,
then saves every message it takes in the folder given as NNN.eml, its envelope recipients
beside it in NNN.rcpt (written first, so a message file is whole when it appears). An
address starting with "rifiuta" is refused with 550."""
import asyncio
import os
import sys

from aiosmtpd.smtp import SMTP


class Salva:
    def __init__(self, cartella):
        self.cartella = cartella
        self.numero = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith("rifiuta"):
            return "550 destinatario rifiutato"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.numero += 1
        base = os.path.join(self.cartella, f"{self.numero:03d}")
        with open(base + ".rcpt", "w", encoding="utf-8") as destinatari:
            destinatari.write("\n".join(envelope.rcpt_tos) + "\n")
        with open(base + ".tmp", "wb") as messaggio:
            messaggio.write(envelope.original_content)
        os.rename(base + ".tmp", base + ".eml")
        return "250 OK"


def main():
    cartella = sys.argv[1]
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    salva = Salva(cartella)  # one for every connection: one count of the messages
    server = loop.run_until_complete(
        loop.create_server(lambda: SMTP(salva), "127.0.0.1", 0))
    print(server.sockets[0].getsockname()[1], flush=True)
    loop.run_forever()


main()

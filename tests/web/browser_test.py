#!/usr/bin/env python3
"""The web view in a real browser: Debian's chromium, headless, driven by selenium. It
writes the demo hotel, adds a user with tableau user add, starts tableau serve on a free
loopback port, logs in, opens a block's chart, moves a week on, checks that on a phone's
width the table scrolls inside its frame with the header row and the room column in view,
and takes screenshots at a desktop's and a 390-pixel phone's width.

Usage: browser_test.py TABLEAU TABLEAU_DEMO SCREENSHOT_DIR
Exit 77 (skipped) only when chromium, chromedriver or selenium is missing."""
import datetime
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

SALTA = 77
UTENTE = "ricevimento"
PASSWORD = "Sole-di-marzo-2026"


def programma(nome, *altri):
    for candidato in (nome,) + altri:
        percorso = shutil.which(candidato)
        if percorso:
            return percorso
    return None


def porta_libera():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    tableau, demo, cartella_foto = sys.argv[1:4]
    chromium = programma("chromium", "chromium-browser")
    driver = programma("chromedriver")
    try:
        from selenium import webdriver
        from selenium.webdriver.common.by import By
        from selenium.webdriver.chrome.service import Service
        from selenium.webdriver.support.ui import WebDriverWait
    except ImportError:
        chromium = None
    if not chromium or not driver:
        print("chromium, chromedriver o selenium mancanti: test saltato")
        return SALTA

    os.makedirs(cartella_foto, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        dati = os.path.join(tmp, "dati")
        subprocess.run([demo, dati], check=True)
        configurazione = os.path.join(tmp, "config")
        os.makedirs(os.path.join(configurazione, "tableau"))
        utenti = os.path.join(tmp, "utenti")
        with open(os.path.join(configurazione, "tableau", "tableau.conf"), "w") as f:
            f.write(f"cartella = {dati}\nweb.users = {utenti}\n")
        ambiente = dict(os.environ, XDG_CONFIG_HOME=configurazione, PCLocal="1")
        subprocess.run([tableau, "user", "add", UTENTE], input=PASSWORD + "\n", text=True,
                       env=ambiente, check=True)
        prima = sorted(os.listdir(dati))

        porta = porta_libera()
        server = subprocess.Popen([tableau, "serve", "--listen", f"127.0.0.1:{porta}"],
                                  env=ambiente, stdout=subprocess.PIPE, text=True)
        try:
            riga = server.stdout.readline()
            assert "in ascolto su http://127.0.0.1:" in riga, riga
            base = f"http://127.0.0.1:{porta}"
            esito = prova(webdriver, By, Service, WebDriverWait, chromium, driver, base,
                          cartella_foto)
        finally:
            server.send_signal(signal.SIGTERM)
            codice = server.wait(timeout=20)
        assert codice == 0, f"tableau serve è uscito con {codice}"
        # The server wrote nothing in the data directory: no chart file, no copy.
        assert sorted(os.listdir(dati)) == prima, sorted(os.listdir(dati))
        return esito


def prova(webdriver, By, Service, WebDriverWait, chromium, driver, base, cartella_foto):
    opzioni = webdriver.ChromeOptions()
    opzioni.binary_location = chromium
    for argomento in ("--headless=new", "--no-sandbox", "--disable-gpu",
                      "--disable-dev-shm-usage", "--window-size=1400,900", "--lang=it"):
        opzioni.add_argument(argomento)
    browser = webdriver.Chrome(service=Service(driver), options=opzioni)
    from selenium.common.exceptions import NoSuchElementException, StaleElementReferenceException
    # A page being replaced leaves its elements stale: the wait tries again.
    attesa = WebDriverWait(browser, 20, ignored_exceptions=(NoSuchElementException,
                                                            StaleElementReferenceException))
    try:
        # Any page leads to the login first.
        browser.get(base + "/tableau?hotel=1&tableau=1")
        attesa.until(lambda b: b.current_url.endswith("/login"))
        browser.find_element(By.ID, "utente").send_keys(UTENTE)
        browser.find_element(By.ID, "password").send_keys("sbagliata")
        browser.find_element(By.CSS_SELECTOR, "form button").click()
        attesa.until(lambda b: "errati" in b.find_element(By.CSS_SELECTOR, ".avviso").text)
        browser.find_element(By.ID, "utente").send_keys(UTENTE)
        browser.find_element(By.ID, "password").send_keys(PASSWORD)
        browser.find_element(By.CSS_SELECTOR, "form button").click()
        attesa.until(lambda b: b.find_element(By.TAG_NAME, "h1").text == "Alberghi")

        # A block's chart from the list.
        browser.find_element(By.CSS_SELECTOR, "ul.blocchi a").click()
        attesa.until(lambda b: b.find_elements(By.CSS_SELECTOR, "table.tableau tbody tr"))
        primo = browser.find_elements(By.CSS_SELECTOR, "table.tableau thead th")[1].text
        oggi = datetime.date.today().strftime("%d/%m/%Y")
        assert oggi in primo, (oggi, primo)
        stati = browser.find_elements(By.CSS_SELECTOR, "td.stato-in-fermata, td.stato-arrivata")
        assert stati, "nessuna camera occupata nel tableau dimostrativo"
        sfondo = stati[0].value_of_css_property("background-color")
        assert sfondo in ("rgba(169, 200, 235, 1)", "rgba(198, 239, 206, 1)"), sfondo
        assert browser.find_elements(By.CSS_SELECTOR, ".legenda .campione.stato-prenotata")
        browser.save_screenshot(os.path.join(cartella_foto, "web_tableau.png"))

        # A week on.
        browser.find_element(By.CSS_SELECTOR, "a[rel=next]").click()
        dopo = (datetime.date.today() + datetime.timedelta(days=7)).strftime("%d/%m/%Y")
        attesa.until(lambda b: dopo in b.find_elements(By.CSS_SELECTOR,
                                                       "table.tableau thead th")[1].text)
        assert "data=" + dopo in browser.current_url, browser.current_url
        browser.find_element(By.CSS_SELECTOR, "a.oggi").click()
        attesa.until(lambda b: oggi in b.find_elements(By.CSS_SELECTOR,
                                                       "table.tableau thead th")[1].text)

        # A phone: 390 pixels wide. The page does not scroll sideways; the table scrolls
        # inside its frame, and the header row and the room column stay in view.
        browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                {"width": 390, "height": 844, "deviceScaleFactor": 2,
                                 "mobile": True})
        browser.refresh()
        attesa.until(lambda b: b.find_elements(By.CSS_SELECTOR, "table.tableau tbody tr"))
        larghezza = browser.execute_script("return document.documentElement.scrollWidth")
        assert larghezza <= 390, f"la pagina è larga {larghezza} pixel"
        cornice = browser.find_element(By.CSS_SELECTOR, ".cornice")
        assert browser.execute_script("return arguments[0].scrollWidth > arguments[0].clientWidth",
                                      cornice)
        browser.save_screenshot(os.path.join(cartella_foto, "web_tableau_telefono.png"))
        browser.execute_script("arguments[0].scrollLeft = 400; arguments[0].scrollTop = 300",
                               cornice)
        time.sleep(0.3)
        fissi = browser.execute_script("""
            const c = arguments[0].getBoundingClientRect();
            const camera = arguments[0].querySelector('tbody th.camera').getBoundingClientRect();
            const giorno = arguments[0].querySelector('thead th:nth-child(3)').getBoundingClientRect();
            return [Math.round(camera.left - c.left), Math.round(giorno.top - c.top)];""",
                                       cornice)
        assert fissi == [1, 1] or (abs(fissi[0]) <= 1 and abs(fissi[1]) <= 1), fissi
        browser.save_screenshot(os.path.join(cartella_foto, "web_tableau_telefono_scorso.png"))

        # Printed: no links, no frame to scroll, the fills kept; Chrome makes it a PDF.
        browser.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
        stampa = browser.execute_script(
            "return [matchMedia('print').matches, "
            "getComputedStyle(document.querySelector('nav.settimane')).display]")
        assert stampa == [True, "none"], stampa
        assert browser.execute_script(
            "return getComputedStyle(arguments[0]).overflow", cornice) == "visible"
        browser.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})
        import base64
        pdf = base64.b64decode(browser.execute_cdp_cmd(
            "Page.printToPDF", {"printBackground": True, "preferCSSPageSize": True})["data"])
        assert pdf.startswith(b"%PDF"), pdf[:20]

        browser.get(base + "/esci")
        attesa.until(lambda b: b.current_url.endswith("/login"))
        browser.save_screenshot(os.path.join(cartella_foto, "web_accesso_telefono.png"))
        browser.get(base + "/")
        attesa.until(lambda b: b.current_url.endswith("/login"))
    finally:
        browser.quit()
    print("schermate in", cartella_foto)
    return 0


if __name__ == "__main__":
    sys.exit(main())

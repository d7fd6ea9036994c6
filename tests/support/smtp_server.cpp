#include "support/smtp_server.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

namespace tableau::test {
namespace {

void Eseguibile(const std::filesystem::path& file, const std::string& testo) {
    writeFile(file, testo);
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
}

}  // namespace

ServerSmtp::ServerSmtp() {
    std::filesystem::create_directory(temp_ / "posta");
    std::filesystem::create_directory(temp_ / "allegati");
    server_.emplace(routines::ChildOptions{
        .argv = {TABLEAU_PYTHON_POSTA, TABLEAU_SERVER_SMTP, (temp_ / "posta").string()},
        .output = routines::ChildOutput::Pipe,
        .newProcessGroup = true});
    std::string riga;
    char c = 0;
    while (::read(server_->outputPipe().get(), &c, 1) == 1 && c != '\n') {
        riga += c;
    }
    porta_ = riga.empty() ? 0 : std::stoi(riga);
    if (porta_ <= 0) {
        ADD_FAILURE() << "the SMTP server did not start";
        return;
    }
    const auto config = temp_ / "msmtprc";
    writeFile(config, "defaults\nauth off\ntls off\nlogfile " + (temp_ / "msmtp.log").string() +
                          "\n\naccount default\nhost 127.0.0.1\nport " + std::to_string(porta_) +
                          "\nfrom tableau-test@example.com\n");
    std::filesystem::permissions(
        config, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    sendmail_ = temp_ / "sendmail";
    Eseguibile(sendmail_,
               "#!/bin/sh\nexec /usr/bin/msmtp -C '" + config.string() + "' -t \"$@\"\n");
}

std::vector<std::filesystem::path> ServerSmtp::messaggi() const {
    std::vector<std::filesystem::path> file;
    for (const auto& voce : std::filesystem::directory_iterator(temp_ / "posta")) {
        if (voce.path().extension() == ".eml") {
            file.push_back(voce.path());
        }
    }
    std::sort(file.begin(), file.end());
    return file;
}

PostaLetta ServerSmtp::leggi(std::size_t n) const {
    PostaLetta posta;
    const auto elenco = messaggi();
    if (n >= elenco.size()) {
        ADD_FAILURE() << "message " << n << " was not received";
        return posta;
    }
    posta.grezzo = readFile(elenco[n]);
    std::istringstream buste(readFile(std::filesystem::path(elenco[n]).replace_extension(".rcpt")));
    for (std::string riga; std::getline(buste, riga);) {
        posta.destinatariBusta.push_back(riga);
    }
    const auto cartella = temp_ / "allegati" / std::to_string(n);
    std::filesystem::create_directories(cartella);
    routines::ChildProcess lettore(
        routines::ChildOptions{.argv = {TABLEAU_PYTHON_POSTA, TABLEAU_LETTORE_POSTA,
                                        elenco[n].string(), cartella.string()},
                               .output = routines::ChildOutput::Pipe});
    const auto stato = lettore.finish();
    EXPECT_TRUE(stato.success()) << lettore.output();
    std::istringstream righe(lettore.output());
    for (std::string riga; std::getline(righe, riga);) {
        std::vector<std::string> campi;
        std::size_t inizio = 0;
        for (std::size_t tab = riga.find('\t'); tab != std::string::npos;
             tab = riga.find('\t', inizio)) {
            campi.push_back(riga.substr(inizio, tab - inizio));
            inizio = tab + 1;
        }
        campi.push_back(riga.substr(inizio));
        if (campi[0] == "body") {
            posta.righe.push_back(campi.size() > 1 ? campi[1] : "");
        } else if (campi[0] == "attachment" && campi.size() == 5) {
            posta.allegati.push_back({campi[1], campi[2], campi[3], campi[4]});
        } else if (campi.size() >= 2) {
            posta.intestazioni[campi[0]] = riga.substr(campi[0].size() + 1);
        }
    }
    return posta;
}

std::filesystem::path SendmailCheFallisce(const TempDir& cartella, int codice) {
    const auto file = cartella / ("sendmail-" + std::to_string(codice));
    Eseguibile(file, "#!/bin/sh\ncat >/dev/null\necho 'sendmail: cannot connect' >&2\nexit " +
                         std::to_string(codice) + "\n");
    return file;
}

}  // namespace tableau::test

#pragma once
// The real mail path of the tests: a receiving SMTP server (smtp_server.py, aiosmtpd) on a
// free loopback port, started by the test and stopped with the object, and a sendmail
// interface over msmtp pointed at it; the messages received are read back by Python's
// email package (read_mail.py).
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "routines/child_process.h"
#include "support/temp_dir.h"

namespace tableau::test {

// A message as read_mail.py reads it.
struct PostaLetta {
    std::map<std::string, std::string> intestazioni;  // "subject", "to-addresses", ...
    std::vector<std::string> righe;                   // the text's lines
    struct Allegato {
        std::string nome;
        std::string tipo;
        std::string charset;
        std::filesystem::path file;  // its bytes, decoded
    };
    std::vector<Allegato> allegati;
    std::string grezzo;  // the message as received
    std::vector<std::string> destinatariBusta;
};

class ServerSmtp {
  public:
    ServerSmtp();  // fails the test (ADD_FAILURE) when the server does not start
    ServerSmtp(const ServerSmtp&) = delete;
    ServerSmtp& operator=(const ServerSmtp&) = delete;

    int porta() const { return porta_; }
    // A sendmail interface delivering here: a script running "msmtp -C <config> -t" with
    // the arguments it is given; envelope sender tableau-test@example.com.
    const std::filesystem::path& sendmail() const { return sendmail_; }
    // The messages received so far, in order.
    std::vector<std::filesystem::path> messaggi() const;
    // Reads the n-th message (from 0) with read_mail.py.
    PostaLetta leggi(std::size_t n) const;

  private:
    TempDir temp_;
    std::optional<routines::ChildProcess> server_;
    int porta_ = 0;
    std::filesystem::path sendmail_;
};

// A script that exits with the given status after reading its input, as a failing
// sendmail interface would ("sendmail: cannot connect" on its error output).
std::filesystem::path SendmailCheFallisce(const TempDir& cartella, int codice);

}  // namespace tableau::test

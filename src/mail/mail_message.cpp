#include "mail/mail_message.h"

#include <gmime/gmime.h>

#include <memory>
#include <mutex>

#include "routines/errors.h"

namespace tableau::mail {
namespace {

// GMime's objects are GObjects: each owned here is released by g_object_unref.
struct RilasciaOggetto {
    void operator()(gpointer oggetto) const { g_object_unref(oggetto); }
};
template <typename T>
using Oggetto = std::unique_ptr<T, RilasciaOggetto>;

template <typename T>
Oggetto<T> Possiedi(T* oggetto) {
    if (oggetto == nullptr) {
        throw routines::Errore("Impossibile comporre il messaggio di posta.");
    }
    return Oggetto<T>(oggetto);
}

struct RilasciaData {
    void operator()(GDateTime* data) const { g_date_time_unref(data); }
};
struct RilasciaTesto {
    void operator()(char* testo) const { g_free(testo); }
};

void AvviaGMime() {
    static std::once_flag avviata;
    std::call_once(avviata, [] { g_mime_init(); });
}

// The text after the address's "@", for the Message-ID.
std::string Dominio(const std::string& indirizzo) {
    const auto chiocciola = indirizzo.rfind('@');
    return chiocciola == std::string::npos ? "localhost" : indirizzo.substr(chiocciola + 1);
}

// The bytes as the part's content, encoded as the whole message is at the end.
void Contenuto(GMimePart* parte, const std::string& byte) {
    const auto flusso = Possiedi(g_mime_stream_mem_new_with_buffer(byte.data(), byte.size()));
    const auto contenuto =
        Possiedi(g_mime_data_wrapper_new_with_stream(flusso.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(parte, contenuto.get());
}

Oggetto<GMimePart> ParteAllegato(const Allegato& allegato) {
    const auto barra = allegato.tipo.find('/');
    const std::string tipo = allegato.tipo.substr(0, barra);
    const std::string sottotipo =
        barra == std::string::npos ? "octet-stream" : allegato.tipo.substr(barra + 1);
    auto parte = Possiedi(g_mime_part_new_with_type(tipo.c_str(), sottotipo.c_str()));
    if (tipo == "text") {
        g_mime_object_set_content_type_parameter(GMIME_OBJECT(parte.get()), "charset", "utf-8");
    }
    g_mime_part_set_filename(parte.get(), allegato.nomeFile.c_str());
    Contenuto(parte.get(), allegato.contenuto);
    g_mime_part_set_content_encoding(parte.get(), GMIME_CONTENT_ENCODING_BASE64);
    return parte;
}

}  // namespace

std::string ComponiMessaggio(const Messaggio& messaggio) {
    AvviaGMime();
    const auto posta = Possiedi(g_mime_message_new(TRUE));
    g_mime_message_add_mailbox(posta.get(), GMIME_ADDRESS_TYPE_FROM, nullptr,
                               messaggio.mittente.c_str());
    for (const std::string& destinatario : messaggio.destinatari) {
        g_mime_message_add_mailbox(posta.get(), GMIME_ADDRESS_TYPE_TO, nullptr,
                                   destinatario.c_str());
    }
    g_mime_message_set_subject(posta.get(), messaggio.oggetto.c_str(), "utf-8");
    const std::unique_ptr<GDateTime, RilasciaData> adesso(g_date_time_new_now_local());
    g_mime_message_set_date(posta.get(), adesso.get());
    const std::unique_ptr<char, RilasciaTesto> identificativo(
        g_mime_utils_generate_message_id(Dominio(messaggio.mittente).c_str()));
    g_mime_message_set_message_id(posta.get(), identificativo.get());

    const auto testo = Possiedi(g_mime_text_part_new_with_subtype("plain"));
    // Always UTF-8 (g_mime_text_part_set_text would pick ISO-8859-1 for a Latin text).
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(testo.get()), "charset", "utf-8");
    Contenuto(GMIME_PART(testo.get()), messaggio.testo);
    if (messaggio.allegato) {
        const auto insieme = Possiedi(g_mime_multipart_new_with_subtype("mixed"));
        g_mime_multipart_add(insieme.get(), GMIME_OBJECT(testo.get()));
        const auto allegato = ParteAllegato(*messaggio.allegato);
        g_mime_multipart_add(insieme.get(), GMIME_OBJECT(allegato.get()));
        g_mime_message_set_mime_part(posta.get(), GMIME_OBJECT(insieme.get()));
    } else {
        g_mime_message_set_mime_part(posta.get(), GMIME_OBJECT(testo.get()));
    }
    g_mime_object_encode(GMIME_OBJECT(posta.get()), GMIME_ENCODING_CONSTRAINT_7BIT);

    const auto uscita = Possiedi(g_mime_stream_mem_new());
    if (g_mime_object_write_to_stream(GMIME_OBJECT(posta.get()), nullptr, uscita.get()) < 0) {
        throw routines::Errore("Impossibile comporre il messaggio di posta.");
    }
    const GByteArray* byte = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(uscita.get()));
    return std::string(reinterpret_cast<const char*>(byte->data), byte->len);
}

}  // namespace tableau::mail

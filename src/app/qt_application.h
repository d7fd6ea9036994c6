#pragma once
// The QGuiApplication a headless command needs to draw (fonts, the PDF output, the
// printers): created at the first need when the program has none, always on the offscreen
// platform, and gone with the object. Raw output and the
// spreadsheet files never create it, so they run without any display or platform plugin.
#include <QGuiApplication>
#include <memory>

namespace tableau::app {

class ApplicazioneQt {
  public:
    ApplicazioneQt() = default;
    ~ApplicazioneQt();
    ApplicazioneQt(const ApplicazioneQt&) = delete;
    ApplicazioneQt& operator=(const ApplicazioneQt&) = delete;

    // Creates the application unless one exists already.
    void prepara();

  private:
    int argc_ = 1;
    char nome_[8] = "tableau";
    char* argv_[2] = {nome_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace tableau::app

#pragma once
// While a window builds, prints, converts or exports, the busy cursor shows and the window
// takes no input: a second press made meanwhile is dropped, not run again afterwards.
// Owned on the stack for the length of the work; the window must outlive it.
#include <QPointer>

class QWidget;

namespace tableau::gui {

class Occupato {
  public:
    explicit Occupato(QWidget* finestra);
    // Drops the input that arrived during the work, then gives the window back its input,
    // its focus and the usual cursor.
    ~Occupato();
    Occupato(const Occupato&) = delete;
    Occupato& operator=(const Occupato&) = delete;

  private:
    QPointer<QWidget> finestra_;
    QPointer<QWidget> fuoco_;
};

}  // namespace tableau::gui

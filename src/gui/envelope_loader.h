#pragma once

#include <QObject>
#include <string>

#include "audio/peak_envelope.h"

namespace partita::gui {

// The window's side of the envelope cache: reads the current source's envelope on a worker
// thread and hands its chunks to the window thread, passing on only those of the source shown
// now (chunks of a source left behind are dropped, even those already on their way).
class EnvelopeLoader : public QObject {
    Q_OBJECT

  public:
    explicit EnvelopeLoader(QObject* parent = nullptr);
    ~EnvelopeLoader() override;

    // The source shown now; its envelope arrives chunk by chunk (at once when kept).
    void Show(const std::string& path);
    // Nothing is shown (the list is empty or nothing is selected); the reading stops.
    void ShowNothing();
    // A source left the list: its kept envelope is forgotten.
    void Drop(const std::string& path);
    void Clear();

  signals:
    // Blocks of the shown source; the last of a reading has `finished` set.
    void chunkArrived(const partita::audio::EnvelopeChunk& chunk);

  private:
    audio::PeakEnvelopeCache cache_;
    std::string shown_;
};

}  // namespace partita::gui

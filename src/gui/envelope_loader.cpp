#include "envelope_loader.h"

#include <QMetaObject>

namespace partita::gui {

EnvelopeLoader::EnvelopeLoader(QObject* parent)
    : QObject(parent), cache_([this](audio::EnvelopeChunk chunk) {
          // From the worker thread (or from Show, for a kept envelope): always queued, so
          // every chunk reaches the window thread in order and after Show has returned.
          QMetaObject::invokeMethod(
              this,
              [this, chunk = std::move(chunk)] {
                  if (chunk.path == shown_)
                      emit chunkArrived(chunk);
              },
              Qt::QueuedConnection);
      }) {}

EnvelopeLoader::~EnvelopeLoader() {
    cache_.Cancel();
}

void EnvelopeLoader::Show(const std::string& path) {
    shown_ = path;
    cache_.Request(path);
}

void EnvelopeLoader::ShowNothing() {
    shown_.clear();
    cache_.Cancel();
}

void EnvelopeLoader::Drop(const std::string& path) {
    if (path == shown_)
        shown_.clear();
    cache_.Drop(path);
}

void EnvelopeLoader::Clear() {
    shown_.clear();
    cache_.Clear();
}

}  // namespace partita::gui

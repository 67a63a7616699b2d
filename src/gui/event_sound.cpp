#include "event_sound.h"

#ifdef BRANTLE_HAVE_CANBERRA
#include <canberra.h>
#endif

namespace brantle::gui {
namespace {

const char* SoundName(MessageKind kind) {
  switch (kind) {
    case MessageKind::Error:
      return "dialog-error";
    case MessageKind::Information:
      return "dialog-information";
    case MessageKind::Warning:
      return "dialog-warning";
    case MessageKind::Question:
      return "dialog-question";
  }
  return "dialog-information";
}

}  // namespace

void PlayEventSound(MessageKind kind) {
#ifdef BRANTLE_HAVE_CANBERRA
  // One context for the run, through the desktop's sound server only: a machine
  // without one makes every call fail quietly, which is all we want there. (Straight
  // to ALSA, a machine without a sound card would print lines of errors per box.)
  static ca_context* context = [] {
    ca_context* c = nullptr;
    if (ca_context_create(&c) != CA_SUCCESS) return static_cast<ca_context*>(nullptr);
    ca_context_set_driver(c, "pulse");
    ca_context_change_props(c, CA_PROP_APPLICATION_NAME, "Brantle", nullptr);
    return c;
  }();
  if (context) ca_context_play(context, 0, CA_PROP_EVENT_ID, SoundName(kind), nullptr);
#else
  (void)SoundName(kind);
#endif
}

}  // namespace brantle::gui

#pragma once

// How portable code shows a message to the user. The Win32 implementation maps the forms onto the
// skinned message box and the standard message boxes; tests record what would have been shown.
#include <string>
#include <string_view>
#include <vector>

namespace q350 {

enum class MessageForm {
    SkinnedNotice,     // skinned box with OK
    SkinnedQuestion,   // skinned box with OK and Cancel
    SkinnedAutoClose,  // skinned notice that closes itself after about five seconds
    StandardInfo,      // standard message box titled "Info", OK
    StandardWarning,   // standard message box titled "Warning", OK
};

// Results of a shown message, as the message boxes give them.
inline constexpr int kMessageOk = 1;
inline constexpr int kMessageCancel = 2;

class Notifier {
public:
    virtual ~Notifier() = default;
    // Shows the text and waits for the answer: kMessageOk or kMessageCancel.
    virtual int show(MessageForm form, std::u16string_view text) = 0;
};

// Records every message and answers with a chosen result.
class RecordingNotifier final : public Notifier {
public:
    struct Shown {
        MessageForm form;
        std::u16string text;
    };
    int show(MessageForm form, std::u16string_view text) override {
        shown.push_back({form, std::u16string(text)});
        return answer;
    }
    std::vector<Shown> shown;
    int answer = kMessageOk;
};

// Shows nothing; for q350ctl paths that report failures themselves.
class SilentNotifier final : public Notifier {
public:
    int show(MessageForm, std::u16string_view) override { return kMessageOk; }
};

}  // namespace q350

#pragma once

#include <string>

namespace velka {

// The program's title: the product name on the windows and the title of the time-up message.
inline constexpr const char* kApplicationTitle = "Velka Tablewright";

enum class MessageIcon { Warning, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// A modal message as the organiser sees it. Lines of the text are separated by CR LF.
// A Yes/No question has Yes as its default button.
struct Message {
    std::string title;
    std::string text;
    MessageIcon icon = MessageIcon::Warning;
    MessageButtons buttons = MessageButtons::Ok;

    bool operator==(const Message&) const = default;
};

// A refusal of the organiser's input: titled "Error", warning icon, one OK button.
inline Message errorMessage(std::string text)
{
    return {"Error", std::move(text), MessageIcon::Warning, MessageButtons::Ok};
}

// Shows a message modally and returns the button the organiser chose.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(const Message& message) = 0;
};

} // namespace velka

// What the main window's areas need of it: the loaded image, a way to
// change its working copy that the window follows, and the grid's highlight.
#pragma once

#include "imageDocument.h"

#include <QString>

#include <cstdint>
#include <functional>

// The name of an edit as the undo stack shows it: "Set Mapper to 4: ...".
inline QString stepName(const HeaderField& field, const NesHeader& after) {
    return QString("Set %1 to %2")
        .arg(QString::fromLatin1(field.label), QString::fromStdString(valueText(field, after)));
}

struct AreaHost {
    // The loaded image, or nullptr.
    std::function<ImageDocument*()> document;
    // One named change of the working copy ("Set timing to 1"); the refusal
    // when the header cannot hold it.
    std::function<Refusal(const QString& step, const std::function<Refusal(ImageDocument&)>&)>
        change;
    // Highlights these header bytes in the grid (bit i for byte i).
    std::function<void(std::uint16_t)> highlight;
    // The whole file was read: the findings now see all of it.
    std::function<void()> checked;
};

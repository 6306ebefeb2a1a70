#pragma once
// Helpers shared by the pages' option buttons and captions: keyboard mnemonics, and showing a
// group's selection (which may be none) on radio buttons that are exclusive for the user.

#include <QRadioButton>
#include <QString>

#include <span>

namespace kvh::ui {

/// `caption` with its character at `index` as the keyboard mnemonic (Alt + that key). The
/// caption shown and read by screen readers is unchanged, only underlined there.
inline QString withMnemonic(QString caption, qsizetype index) {
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return caption.insert(index, QLatin1Char('&'));
}

/// `caption` with the mnemonic on the first character of `part` (which it contains).
inline QString withMnemonic(const QString& caption, QStringView part) {
    return withMnemonic(caption, caption.indexOf(part));
}

/// A caption as shown and read: the mnemonic marks taken out ("&&" is a plain "&").
inline QString shownCaption(const QString& caption) {
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out;
}

/// Checks exactly the buttons `isChecked(i)` names. Exclusive buttons cannot be unchecked
/// one by one (a group may hold no selection), so exclusivity pauses while this runs.
template <class Predicate>
void showChecked(std::span<QRadioButton* const> buttons, Predicate isChecked) {
    for (QRadioButton* b : buttons)
        b->setAutoExclusive(false);
    for (size_t i = 0; i < buttons.size(); ++i)
        buttons[i]->setChecked(isChecked(static_cast<int>(i)));
    for (QRadioButton* b : buttons)
        b->setAutoExclusive(true);
}

} // namespace kvh::ui

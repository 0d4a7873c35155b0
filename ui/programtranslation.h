#pragma once

#include <QLocale>
#include <QTranslator>

// The operator's language for as long as it lives: the program's own texts, and Qt's (standard
// buttons, file dialogs, key names) where the system has them. A language without a translation
// leaves the texts in English.
class ProgramTranslation
{
public:
    explicit ProgramTranslation(const QLocale &locale = QLocale::system());
    ~ProgramTranslation();

    ProgramTranslation(const ProgramTranslation &) = delete;
    ProgramTranslation &operator=(const ProgramTranslation &) = delete;

    // Whether the program's own texts are translated.
    bool isTranslated() const;

private:
    QTranslator m_qt;
    QTranslator m_program;
    bool m_translated = false;
};

#pragma once

#include <QTranslator>

// Chinese texts for the buttons that QMessageBox makes itself (the button
// that shows and hides the details), while an object of this class lives.
class MessageBoxTexts : public QTranslator
{
public:
    MessageBoxTexts();
    ~MessageBoxTexts() override;

    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;
};

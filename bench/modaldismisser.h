#pragma once

#include <QObject>

// Rejects every modal dialog as soon as it is shown while this object lives
// (the paper introduction, section prompts), so that a measured flow never
// waits for a click; while confirming, a confirmation (the hand-in's) is
// answered "yes" instead.
class ModalDismisser : public QObject
{
public:
    ModalDismisser();
    ~ModalDismisser() override;
    int dismissed() const { return m_dismissed; }
    // Confirmations answered "yes" so far.
    int confirmations() const { return m_confirmations; }
    void setConfirming(bool confirming) { m_confirming = confirming; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_dismissed = 0;
    int m_confirmations = 0;
    bool m_confirming = false;
};

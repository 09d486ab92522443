#pragma once
// How a controller tells the operator of a failure he must know: in the window, in plain words
// with the reason. The caller says it once per episode; the window shows it without holding
// anything up.
#include <QString>

class InxOperatorNotices {
public:
    virtual ~InxOperatorNotices() = default;
    virtual void Tell(const QString& caption, const QString& text) = 0;
};

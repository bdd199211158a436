#pragma once

#include <QObject>

// Base of every controller. Controllers that keep no undo history answer
// Undo/Redo with false.
class CController : public QObject
{
    Q_OBJECT
public:
    explicit CController(QObject* pParent = nullptr) : QObject(pParent) {}
    ~CController() override = default;

    virtual bool Undo() { return false; }
    virtual bool Redo() { return false; }
};

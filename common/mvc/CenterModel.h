#pragma once

#include <QObject>

// Base of every model of the program and the library: a passive QObject that
// holds data and announces changes by signals. It adds no members.
class CModel : public QObject
{
    Q_OBJECT
public:
    explicit CModel(QObject* pParent = nullptr) : QObject(pParent) {}
    ~CModel() override = default;
};

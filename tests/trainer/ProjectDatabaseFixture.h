#pragma once

#include "common/database/DatabaseModel.h"
#include "common/mvc/Interaction.h"
#include "tests/support/TestSupport.h"
#include "trainer/DatabaseModelFactoryImpl.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <vector>

namespace OptraTest
{

// A fresh project database in a temporary folder with the program's schema
// applied, open through the program's own table layer, plus a reader that
// looks at the file through a connection of its own.
class CProjectDatabase
{
public:
    CProjectDatabase();
    ~CProjectDatabase();

    bool IsReady() const { return m_bReady; }
    CDatabaseModel* Database() { return &m_database; }
    QString Path() const;

    // Writes a row behind the editors' back, as another part of the program would.
    bool Exec(const QString& strSql);
    // One column of a table, in row order, read independently of the model.
    QStringList Column(const QString& strTable, const QString& strColumn) const;

private:
    QTemporaryDir m_dir;
    CDatabaseModelFactoryImpl m_factory;
    CDatabaseModel m_database{&m_factory};
    bool m_bReady = false;
};

// A table editor dialog and its controller on a fresh project database, with
// message boxes answered; destroyed controller first, database last.
template <typename View, typename Controller>
struct SEditor
{
    CProjectDatabase project;
    CMessageRecorder messages;
    QWidget parent;
    View* pView = new View(&parent);
    Controller controller{pView, project.Database()};
};

} // namespace OptraTest

#pragma once

#include <vector>

class CModel;
class CController;
class QObject;
class QWidget;

// One model/controller/view triple of the registry; any pointer may be null.
struct SMVC
{
    CModel* model = nullptr;
    CController* controller = nullptr;
    QWidget* view = nullptr;
};

// A triple owned by the view manager or the main window's tool-window list.
struct SMVCItem
{
    CModel* model = nullptr;
    CController* controller = nullptr;
    QWidget* view = nullptr;
};

// Process-wide list of registered triples in registration order. Whoever
// registers an object removes it when the object goes (RemoveMVC), so a
// lookup never meets a deleted object, also when a second main window is
// made after the first one was closed. GUI thread only.
class CMVCRegistry
{
public:
    static std::vector<SMVC> m_vctItems;

    static void PushMVC(CModel* pModel, QWidget* pView, CController* pController);
    // Drops every entry that names the object as its model, view or controller.
    static void RemoveMVC(const QObject* pObject);

    // First registered controller that is a T, or null.
    template <typename T>
    static T* FindController()
    {
        for (const SMVC& item : m_vctItems)
        {
            if (T* pController = dynamic_cast<T*>(item.controller))
                return pController;
        }
        return nullptr;
    }
};

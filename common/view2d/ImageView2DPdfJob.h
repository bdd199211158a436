#pragma once

#include "optra/Image.h"

#include <QMutex>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

class QThread;

namespace Optra::Utils
{
class CPDFReader;
}

// Renders every page of an opened PDF document into images on a worker
// thread, one page after another, so the window keeps painting while a
// long document renders. It can be cancelled between pages; the pages
// rendered until then are kept, and the first page that fails to render
// ends the run (the pages before it remain). Each page carries the
// document's name and folder. Created, started, cancelled and destroyed
// on the GUI thread; the reader belongs to the worker while it runs.
class CImageView2DPdfJob : public QObject
{
    Q_OBJECT
public:
    using ImagePtr = std::shared_ptr<Optra::Algorithms::CImage>;

    CImageView2DPdfJob(std::unique_ptr<Optra::Utils::CPDFReader> pReader, const QString& strName,
                       const QString& strFolder);
    // Cancels and waits for the page being rendered.
    ~CImageView2DPdfJob() override;

    int GetPageCount() const { return m_nPageCount; }
    // Starts the worker; signal_Finished follows exactly once.
    void Start();
    bool IsFinished() const { return m_bFinished; }
    // The pages rendered so far, in page order.
    std::vector<ImagePtr> GetPages() const;
    // 0, or the result of the page that failed (see GetFailedPage).
    int GetFailure() const { return m_nFailure; }
    int GetFailedPage() const { return m_nFailedPage; }
    bool IsCancelled() const { return m_bCancel; }

public slots:
    // The worker stops before its next page.
    void Cancel() { m_bCancel = true; }

signals:
    // Page nDone of nCount is ready (queued to the GUI thread).
    void signal_PageRendered(int nDone, int nCount);
    void signal_Finished();

private:
    void Run();

    std::unique_ptr<Optra::Utils::CPDFReader> m_pReader;
    const std::wstring m_strName;
    const std::wstring m_strFolder;
    const int m_nPageCount;
    std::unique_ptr<QThread> m_pThread;
    mutable QMutex m_mutex;
    std::vector<ImagePtr> m_vctPages;
    std::atomic<bool> m_bCancel{false};
    std::atomic<bool> m_bFinished{false};
    std::atomic<int> m_nFailure{0};
    std::atomic<int> m_nFailedPage{-1};
};

#include "data/connectionworker.h"

#include <QAtomicInteger>

namespace quoteria {

namespace {
QString workerConnectionName() {
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("quoteria-worker-%1").arg(++counter);
}
} // namespace

ConnectionWorker::ConnectionWorker(const QString& connectionName, QObject* parent)
    : QObject(parent), m_name(connectionName.isEmpty() ? workerConnectionName() : connectionName) {
    m_thread.setObjectName(QStringLiteral("connection worker"));
}

ConnectionWorker::~ConnectionWorker() {
    shutdown();
}

QString ConnectionWorker::cancelledText() {
    return QStringLiteral("Cancelled: the connection was shut down");
}

QString ConnectionWorker::stoppedText() {
    return QStringLiteral("The connection has been shut down");
}

void ConnectionWorker::deliver(const QPointer<QObject>& context, const Done& done,
                               const JobResult& result) {
    // Posted to this object, which lives on the window thread: context is checked
    // there, never from the worker thread while it may be being destroyed.
    QMetaObject::invokeMethod(
        this,
        [context, done, result] {
            if (context && done)
                done(result);
        },
        Qt::QueuedConnection);
}

void ConnectionWorker::enqueue(std::function<JobResult()> work, QObject* context, Done done) {
    const QPointer<QObject> ctx(context ? context : this);
    if (m_stopped) {
        deliver(ctx, done, JobResult{false, {}, stoppedText()});
        return;
    }
    if (!m_started) {
        m_started = true;
        m_threadContext = new QObject;
        m_threadContext->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, m_threadContext, &QObject::deleteLater);
        m_thread.start();
    }
    QMetaObject::invokeMethod(
        m_threadContext,
        [this, work = std::move(work), ctx, done = std::move(done)] {
            if (m_stopping.load()) {
                deliver(ctx, done, JobResult{false, {}, cancelledText()});
                return;
            }
            deliver(ctx, done, work());
        },
        Qt::QueuedConnection);
}

void ConnectionWorker::open(Opener opener, QObject* context, Done done) {
    enqueue(
        [this, opener = std::move(opener)] {
            // The old connection goes first: the new one takes its name.
            m_conn.reset();
            m_conn = std::make_unique<Connection>(m_name);
            JobResult r;
            r.ok = opener && opener(*m_conn);
            if (!r.ok) {
                r.error = m_conn->lastError();
                if (r.error.isEmpty())
                    r.error = QStringLiteral("The connection could not be opened");
                m_openError = r.error;
                m_conn.reset();
            } else {
                m_openError.clear();
            }
            return r;
        },
        context, std::move(done));
}

void ConnectionWorker::post(Job job, QObject* context, Done done) {
    enqueue(
        [this, job = std::move(job)] {
            JobResult r;
            if (!m_conn || !m_conn->isOpen()) {
                r.error =
                    m_openError.isEmpty() ? QStringLiteral("No open connection") : m_openError;
                return r;
            }
            // A stale error from an earlier job must not be reported as this one's.
            m_conn->clearError();
            r.ok = job(*m_conn, r.value);
            if (!r.ok) {
                r.error = m_conn->lastError();
                if (r.error.isEmpty())
                    r.error = QStringLiteral("The job failed");
            }
            return r;
        },
        context, std::move(done));
}

void ConnectionWorker::shutdown() {
    if (m_stopped)
        return;
    m_stopped = true;
    if (!m_started)
        return;
    m_stopping.store(true);
    // Queued behind every posted job, which now only report their cancellation.
    QMetaObject::invokeMethod(
        m_threadContext,
        [this] {
            m_conn.reset();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    m_thread.wait();
}

} // namespace quoteria

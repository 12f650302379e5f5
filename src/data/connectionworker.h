#pragma once
// A connection of its own on a thread of its own, so a slow or silent server never
// freezes the windows. Jobs posted from the window thread run one at a time, in
// the order posted, and each result comes back on the thread that owns the worker.
#include "data/connection.h"

#include <QObject>
#include <QPointer>
#include <QThread>
#include <QVariant>
#include <atomic>
#include <functional>
#include <memory>

namespace quoteria {

struct JobResult {
    bool ok = false;
    QVariant value;
    QString error; // the connection's error text when ok is false
};

class ConnectionWorker : public QObject {
    Q_OBJECT
public:
    // Opens the fresh connection it is given; runs on the worker thread.
    using Opener = std::function<bool(Connection&)>;
    // Runs on the worker thread; returns false on failure and may leave its
    // result in value.
    using Job = std::function<bool(Connection&, QVariant& value)>;
    // Runs on the worker's own thread, and only while context still exists.
    using Done = std::function<void(const JobResult&)>;

    // An empty name picks an unused one.
    explicit ConnectionWorker(const QString& connectionName = QString(), QObject* parent = nullptr);
    // Shuts down.
    ~ConnectionWorker() override;

    QString connectionName() const { return m_name; }

    // Replaces the worker's connection with a new one opened by opener. Queued
    // behind the jobs already posted, like any job.
    void open(Opener opener, QObject* context, Done done);
    // Jobs that run while there is no open connection fail with the open's error.
    void post(Job job, QObject* context, Done done);
    // Lets the running job finish, cancels the ones not started (their results say
    // so), closes the connection on its thread and stops the thread. Later posts
    // fail at once. Waits for the running job: keep jobs short.
    void shutdown();
    bool isStopped() const { return m_stopped; }

    static QString cancelledText();
    static QString stoppedText();

private:
    void enqueue(std::function<JobResult()> work, QObject* context, Done done);
    void deliver(const QPointer<QObject>& context, const Done& done, const JobResult& result);

    const QString m_name;
    QThread m_thread;
    QObject* m_threadContext = nullptr; // lives on m_thread, deleted when it ends
    bool m_started = false;
    bool m_stopped = false;
    std::atomic<bool> m_stopping{false};
    // Touched only on the worker thread.
    std::unique_ptr<Connection> m_conn;
    QString m_openError;
};

} // namespace quoteria

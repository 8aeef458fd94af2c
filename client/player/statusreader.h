#pragma once

#include "statusbatch.h"

#include <QByteArray>

namespace OrvantaClient::GUI::Player {

// Turns the bytes of a worker's standard output into status events. A line that
// has not yet reached its newline is kept for the next read.
class StatusReader
{
public:
    explicit StatusReader(qint64 frameCapacity);

    StatusBatch read(const QByteArray& bytes);
    // Forgets an unfinished line, for a new worker.
    void reset();

    // An unfinished line longer than this is not a status line; it is dropped.
    static constexpr int maximumPendingBytes = 65536;

private:
    void readLine(const QString& line, StatusBatch& batch) const;

    qint64 frameCapacity;
    QByteArray pending;
};

} // namespace OrvantaClient::GUI::Player

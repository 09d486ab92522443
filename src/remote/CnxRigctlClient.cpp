#include "remote/CnxRigctlClient.h"

#include <QTcpSocket>

#include "core/TmyComponent.h"
#include "remote/CnxRigctlAnswer.h"
#include "remote/K740RXRemoteLog.h"
#include "remote/K740RXRemoteMessages.h"
#include "remote/K740RXRigctlProtocol.h"

CnxRigctlClient::CnxRigctlClient(QTcpSocket* socket, CnxRigctlCommandSet& commands, uint64_t number,
                                 HWND doneWindow, std::chrono::milliseconds silenceLimit,
                                 GoneHandler gone)
    : socket_(socket),
      commands_(commands),
      number_(number),
      doneWindow_(doneWindow),
      gone_(std::move(gone)) {
    socket_->setParent(this);
    // Unread input stays with the system beyond this, which slows a flooding client down.
    socket_->setReadBufferSize(kReadChunk);
    silence_.setSingleShot(true);
    silence_.setInterval(silenceLimit);
    connect(&silence_, &QTimer::timeout, this, [this] { Drop("silent"); });
    connect(socket_, &QTcpSocket::readyRead, this, [this] { Pump(); });
    connect(socket_, &QTcpSocket::bytesWritten, this, [this] { Pump(); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] { End(); });
}

void CnxRigctlClient::Start() {
    Pump();  // what came with the connection
}

void CnxRigctlClient::OnChangeDone() {
    if (!waiting_ || ended_) {
        return;
    }
    waiting_ = false;
    Send(heldAnswer_);
    heldAnswer_.clear();
    Pump();
}

void CnxRigctlClient::Drop(const char* reason) {
    if (ended_) {
        return;
    }
    qCInfo(lcRemote) << "slot" << commands_.GetSlot() << "client" << number_
                     << "dropped:" << reason;
    socket_->abort();
    End();
}

void CnxRigctlClient::Pump() {
    bool progressed = false;
    // A client that does not take its answers gets no more until it does; bytesWritten brings us
    // back here.
    while (!ended_ && !waiting_ && socket_->state() == QAbstractSocket::ConnectedState &&
           socket_->bytesToWrite() <= kMaxBacklog) {
        if (!Step(progressed)) {
            break;
        }
    }
    WatchSilence(progressed);
}

bool CnxRigctlClient::Step(bool& lineTaken) {
    SnxRigctlCommand command;
    if (parser_.Next(command)) {
        Handle(command);
        return true;
    }
    std::string line;
    switch (reader_.Next(line)) {
        case CnxRigctlLineReader::Event::kLine:
            spoken_ = true;
            lineTaken = true;
            parser_.Feed(line);
            return true;
        case CnxRigctlLineReader::Event::kOverlong:
            parser_.Abandon();
            Send(CnxRigctlAnswer::Report(kRigProtocolError));
            return true;
        case CnxRigctlLineReader::Event::kNothing:
            break;
    }
    if (socket_->bytesAvailable() > 0) {
        reader_.Append(socket_->read(kReadChunk).toStdString());
        return true;
    }
    return false;
}

void CnxRigctlClient::Handle(const SnxRigctlCommand& command) {
    if (command.id == ERigctlCommand::kUnknown) {
        qCDebug(lcRemote) << "slot" << commands_.GetSlot() << "client" << number_
                          << "sent an unknown command:" << command.name.c_str();
    }
    const SnxRigctlOutcome outcome = commands_.Execute(command);
    if (outcome.changed) {
        // Behind the change in the window thread's queue: it arrives once the change is done.
        heldAnswer_ = outcome.answer;
        waiting_ = PostMessage(doneWindow_, WM_REMOTE_CHANGE_DONE, number_, 0);
        if (!waiting_) {
            Send(outcome.answer);
        }
    } else {
        Send(outcome.answer);
    }
    if (outcome.quit) {
        silence_.stop();
        socket_->disconnectFromHost();  // after the answer has gone out
    }
}

void CnxRigctlClient::Send(const std::string& text) {
    if (!text.empty()) {
        socket_->write(text.data(), static_cast<qint64>(text.size()));
    }
}

// The clock runs while the client owes us something: its first line, the end of a line it has
// begun, the arguments of a command it has begun, or the reading of its answers. Each line it
// completes gives it the full time again.
void CnxRigctlClient::WatchSilence(bool progressed) {
    if (ended_) {
        return;
    }
    const bool owing = !spoken_ || reader_.HasUnfinishedLine() || parser_.IsWaitingForArguments() ||
                       socket_->bytesToWrite() > kMaxBacklog;
    if (!owing) {
        silence_.stop();
    } else if (progressed || !silence_.isActive()) {
        silence_.start();
    }
}

void CnxRigctlClient::End() {
    if (ended_) {
        return;
    }
    ended_ = true;
    silence_.stop();
    socket_->disconnect(this);
    deleteLater();
    gone_(*this);
}

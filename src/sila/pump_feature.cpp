#include "sila/pump_feature.h"

#include <QString>
#include <QTimer>
#include <QUuid>
#include <chrono>
#include <condition_variable>
#include <cstdlib>

#include "cli/pumps.h"
#include "sila/exchange_outcome.h"
#include "sila/identifiers.h"
#include "sila/sila_errors.h"

namespace zr::sila {

namespace {

// The pause between two "?" to a pump that runs a command, as zadu-rovu-cli run makes it.
constexpr int kAskMilliseconds = 50;
// Finished executions kept for their results, the oldest forgotten first.
constexpr std::size_t kKeptExecutions = 256;

std::string Parameter(const char* command) {
    return Qualified(PumpFeatureId, "Command", std::string(command) + "/Parameter/CommandString");
}

}  // namespace

// One RunCommandString: running until the pump reads ready, then its result or its error.
struct PumpFeature::Execution {
    std::mutex mutex;
    std::condition_variable changed;
    framework::ExecutionInfo::CommandStatus status = framework::ExecutionInfo::running;
    grpc::Status error;
    pump::RunCommandString_Responses result;
    long order = 0;

    void finish(const grpc::Status& outcome, const cli::Answer* ready) {
        const std::lock_guard lock(mutex);
        error = outcome;
        if (ready) {
            result.mutable_statustext()->set_value(ready->status);
            result.mutable_plungerposition()->set_value(std::atoll(ready->data.c_str()));
        }
        status = outcome.ok() ? framework::ExecutionInfo::finishedSuccessfully
                              : framework::ExecutionInfo::finishedWithError;
        changed.notify_all();
    }
};

PumpFeature::PumpFeature(PortQueue& queue, int address, double runSeconds)
    : queue_(queue), address_(address), runSeconds_(runSeconds), watch_(queue, address) {}

PumpFeature::~PumpFeature() = default;

grpc::Status PumpFeature::exchange(grpc::ServerContext* context,
                                   const std::function<grpc::Status(cli::Session&)>& work, bool first) {
    grpc::Status status;
    if (!queue_.run([&](cli::Session& session) { status = work(session); },
                    [context] { return context->IsCancelled(); }, first))
        return grpc::Status::CANCELLED;
    // A wait for a reply that the end cut short tells nothing of the pump.
    if (queue_.ending())
        return UndefinedError(
            "The server is stopping and cut the exchange short: call again once it serves again.");
    return status;
}

grpc::Status PumpFeature::SendCommandString(grpc::ServerContext* context,
                                            const pump::SendCommandString_Parameters* in,
                                            pump::SendCommandString_Responses* out) {
    const std::string& command = in->commandstring().value();
    return exchange(context, [&](cli::Session& session) {
        grpc::Status checked = Checked(session, command, Parameter("SendCommandString"));
        if (!checked.ok()) return checked;
        const cli::Answer a = session.send(command, address_);
        grpc::Status status = Outcome(session, a, address_, true);
        if (!status.ok()) return status;
        out->mutable_replytext()->set_value(a.reply);
        out->mutable_statustext()->set_value(a.status);
        out->mutable_data()->set_value(a.data);
        out->mutable_rawreply()->set_value(a.exchange.reply);
        return status;
    });
}

grpc::Status PumpFeature::RunCommandString(grpc::ServerContext* context,
                                           const pump::RunCommandString_Parameters* in,
                                           framework::CommandConfirmation* out) {
    const std::string& command = in->commandstring().value();
    const auto run = std::make_shared<Execution>();
    grpc::Status checked = exchange(context, [&](cli::Session& session) {
        grpc::Status status = Checked(session, command, Parameter("RunCommandString"));
        if (!status.ok()) return status;
        const cli::Answer a = session.send(command, address_);
        status = Outcome(session, a, address_, true);
        if (status.ok())
            ask(run, session.now() + runSeconds_);
        else
            run->finish(status, nullptr);
        return grpc::Status::OK;
    });
    if (!checked.ok()) return checked;
    const std::string uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    {
        const std::lock_guard lock(mutex_);
        run->order = ++executionsMade_;
        executions_[uuid] = run;
        // The oldest finished executions go once too many are kept.
        while (executions_.size() > kKeptExecutions) {
            auto oldest = executions_.end();
            for (auto i = executions_.begin(); i != executions_.end(); ++i) {
                const std::lock_guard held(i->second->mutex);
                if (i->second->status >= framework::ExecutionInfo::finishedSuccessfully &&
                    (oldest == executions_.end() || i->second->order < oldest->second->order))
                    oldest = i;
            }
            if (oldest == executions_.end()) break;
            executions_.erase(oldest);
        }
    }
    out->mutable_commandexecutionuuid()->set_value(uuid);
    return grpc::Status::OK;
}

// Asks the pump "?" until it reads ready, each time as a whole exchange of its own in the
// port's queue, so that other requests go between.
void PumpFeature::ask(const std::shared_ptr<Execution>& run, double deadline) {
    QTimer::singleShot(kAskMilliseconds, queue_.context(), [this, run, deadline] {
        queue_.post([this, run, deadline](cli::Session& session) {
            const cli::Answer a = session.send("?", address_);
            grpc::Status status = Outcome(session, a, address_, true);
            if (!status.ok()) return run->finish(status, nullptr);
            if (a.statusChar != "@") return run->finish(status, &a);
            if (session.now() < deadline) return ask(run, deadline);
            run->finish(DefinedError(Qualified(PumpFeatureId, "DefinedExecutionError", "StillBusy"),
                                     "Pump " + cli::AddressName(address_) + " is still busy (position " +
                                         a.data + ") after " + QString::number(runSeconds_).toStdString() +
                                         " s. Stop it, or wait and read its status; serve with a longer "
                                         "--run-timeout for longer moves."),
                        nullptr);
        });
    });
}

std::shared_ptr<PumpFeature::Execution> PumpFeature::execution(const framework::CommandExecutionUUID& uuid) {
    const std::lock_guard lock(mutex_);
    const auto found = executions_.find(uuid.value());
    return found == executions_.end() ? nullptr : found->second;
}

namespace {

grpc::Status UnknownExecution(const framework::CommandExecutionUUID& uuid) {
    return FrameworkError(
        framework::FrameworkError::INVALID_COMMAND_EXECUTION_UUID,
        "No execution of RunCommandString has the UUID \"" + uuid.value() +
            "\" (or it is long over and forgotten): give the UUID RunCommandString returned.");
}

}  // namespace

grpc::Status PumpFeature::RunCommandString_Info(grpc::ServerContext* context,
                                                const framework::CommandExecutionUUID* in,
                                                grpc::ServerWriter<framework::ExecutionInfo>* out) {
    const std::shared_ptr<Execution> run = execution(*in);
    if (!run) return UnknownExecution(*in);
    std::unique_lock lock(run->mutex);
    for (int told = -1; !context->IsCancelled();) {
        if (run->status != told) {
            told = run->status;
            framework::ExecutionInfo info;
            info.set_commandstatus(run->status);
            lock.unlock();
            if (!out->Write(info)) return grpc::Status::OK;
            lock.lock();
            if (told >= framework::ExecutionInfo::finishedSuccessfully) return grpc::Status::OK;
        }
        run->changed.wait_for(lock, std::chrono::milliseconds(100));
    }
    return grpc::Status::OK;
}

grpc::Status PumpFeature::RunCommandString_Result(grpc::ServerContext*,
                                                  const framework::CommandExecutionUUID* in,
                                                  pump::RunCommandString_Responses* out) {
    const std::shared_ptr<Execution> run = execution(*in);
    if (!run) return UnknownExecution(*in);
    const std::lock_guard lock(run->mutex);
    if (run->status < framework::ExecutionInfo::finishedSuccessfully)
        return FrameworkError(
            framework::FrameworkError::COMMAND_EXECUTION_NOT_FINISHED,
            "The run has not finished: follow RunCommandString_Info until it reports the end, "
            "then ask for the result.");
    if (!run->error.ok()) return run->error;
    *out = run->result;
    return grpc::Status::OK;
}

grpc::Status PumpFeature::Stop(grpc::ServerContext* context, const pump::Stop_Parameters*,
                               pump::Stop_Responses* out) {
    return exchange(
        context,
        [&](cli::Session& session) {
            const cli::Answer a = session.stop(address_);
            grpc::Status status = Outcome(session, a, address_, false);
            out->mutable_statustext()->set_value(a.status);
            return status;
        },
        true);
}

namespace {

template <typename Response>
grpc::Status Follow(PumpWatch& watch, PumpWatch::Value value, grpc::ServerContext* context,
                    grpc::ServerWriter<Response>* out, void (*fill)(Response&, const std::string&)) {
    return watch.follow(
        value,
        [&](const std::string& now) {
            Response response;
            fill(response, now);
            return out->Write(response);
        },
        [context] { return context->IsCancelled(); });
}

}  // namespace

grpc::Status PumpFeature::Subscribe_PlungerPosition(
    grpc::ServerContext* context, const pump::Subscribe_PlungerPosition_Parameters*,
    grpc::ServerWriter<pump::Subscribe_PlungerPosition_Responses>* out) {
    return Follow<pump::Subscribe_PlungerPosition_Responses>(
        watch_, PumpWatch::Value::Position, context, out,
        [](auto& r, const std::string& v) { r.mutable_plungerposition()->set_value(std::atoll(v.c_str())); });
}

grpc::Status PumpFeature::Subscribe_ValvePort(grpc::ServerContext* context,
                                              const pump::Subscribe_ValvePort_Parameters*,
                                              grpc::ServerWriter<pump::Subscribe_ValvePort_Responses>* out) {
    return Follow<pump::Subscribe_ValvePort_Responses>(
        watch_, PumpWatch::Value::Valve, context, out,
        [](auto& r, const std::string& v) { r.mutable_valveport()->set_value(v); });
}

grpc::Status PumpFeature::Subscribe_PumpStatus(
    grpc::ServerContext* context, const pump::Subscribe_PumpStatus_Parameters*,
    grpc::ServerWriter<pump::Subscribe_PumpStatus_Responses>* out) {
    return Follow<pump::Subscribe_PumpStatus_Responses>(
        watch_, PumpWatch::Value::Status, context, out,
        [](auto& r, const std::string& v) { r.mutable_pumpstatus()->set_value(v); });
}

grpc::Status PumpFeature::Get_FirmwareVersion(grpc::ServerContext* context,
                                              const pump::Get_FirmwareVersion_Parameters*,
                                              pump::Get_FirmwareVersion_Responses* out) {
    return exchange(context, [&](cli::Session& session) {
        const cli::Answer a = session.send("&", address_);
        grpc::Status status = Outcome(session, a, address_, true);
        out->mutable_firmwareversion()->set_value(a.data);
        return status;
    });
}

}  // namespace zr::sila

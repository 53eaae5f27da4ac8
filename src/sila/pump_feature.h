#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "SyringePumpController.grpc.pb.h"
#include "sila/pump_watch.h"

namespace zr::sila {

namespace pump = sila2::org::zadurovu::pumps::syringepumpcontroller::v1;
namespace framework = sila2::org::silastandard;

// org.zadurovu/pumps/SyringePumpController/v1 for the pump at one address of a port. Every
// exchange goes through the port's queue; a call waits for its turn (or its cancellation).
class PumpFeature final : public pump::SyringePumpController::Service {
public:
    // `runSeconds`: how long RunCommandString waits for the pump to read ready.
    PumpFeature(PortQueue& queue, int address, double runSeconds);
    ~PumpFeature() override;
    // Ends the subscriptions at once: the server is ending.
    void end() { watch_.end(); }

    grpc::Status SendCommandString(grpc::ServerContext* context, const pump::SendCommandString_Parameters* in,
                                   pump::SendCommandString_Responses* out) override;
    grpc::Status RunCommandString(grpc::ServerContext* context, const pump::RunCommandString_Parameters* in,
                                  framework::CommandConfirmation* out) override;
    grpc::Status RunCommandString_Info(grpc::ServerContext* context,
                                       const framework::CommandExecutionUUID* in,
                                       grpc::ServerWriter<framework::ExecutionInfo>* out) override;
    grpc::Status RunCommandString_Result(grpc::ServerContext* context,
                                         const framework::CommandExecutionUUID* in,
                                         pump::RunCommandString_Responses* out) override;
    grpc::Status Stop(grpc::ServerContext* context, const pump::Stop_Parameters* in,
                      pump::Stop_Responses* out) override;
    grpc::Status Subscribe_PlungerPosition(
        grpc::ServerContext* context, const pump::Subscribe_PlungerPosition_Parameters* in,
        grpc::ServerWriter<pump::Subscribe_PlungerPosition_Responses>* out) override;
    grpc::Status Subscribe_ValvePort(grpc::ServerContext* context,
                                     const pump::Subscribe_ValvePort_Parameters* in,
                                     grpc::ServerWriter<pump::Subscribe_ValvePort_Responses>* out) override;
    grpc::Status Subscribe_PumpStatus(grpc::ServerContext* context,
                                      const pump::Subscribe_PumpStatus_Parameters* in,
                                      grpc::ServerWriter<pump::Subscribe_PumpStatus_Responses>* out) override;
    grpc::Status Get_FirmwareVersion(grpc::ServerContext* context,
                                     const pump::Get_FirmwareVersion_Parameters* in,
                                     pump::Get_FirmwareVersion_Responses* out) override;

private:
    struct Execution;

    // Runs `work` on the port's thread; CANCELLED when the call went away before its turn.
    grpc::Status exchange(grpc::ServerContext* context,
                          const std::function<grpc::Status(cli::Session&)>& work, bool first = false);
    void ask(const std::shared_ptr<Execution>& run, double deadline);  // on the port's thread
    std::shared_ptr<Execution> execution(const framework::CommandExecutionUUID& uuid);

    PortQueue& queue_;
    const int address_;
    const double runSeconds_;
    PumpWatch watch_;
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<Execution>> executions_;
    long executionsMade_ = 0;
};

}  // namespace zr::sila

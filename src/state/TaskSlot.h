#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>

namespace quorvane {

// The one slot shared by the generation flows (enhance, follow-up,
// variations): starting a flow in it stops the one before. A flow ends its
// work early and drops a late reply once its token has been asked to stop.
class TaskSlot {
public:
    struct Flow {
        std::uint64_t id = 0;
        std::stop_token stop;
    };

    // Stops the flow in the slot and puts a new one there.
    Flow start();

    // A flow outside the slot: neither start() nor cancel() stops it.
    Flow detached();

    // Stops the flow in the slot and empties it.
    void cancel();

private:
    std::uint64_t nextId_ = 0;
    std::optional<std::stop_source> current_;
};

} // namespace quorvane

#pragma once

namespace quorvane {

// Whether the system's language model can be used now and, when it cannot, why.
class ModelAvailability {
public:
    enum class UnavailableReason {
        deviceNotEligible,
        appleIntelligenceNotEnabled,
        modelNotReady,
        other
    };

    static ModelAvailability available() {
        return ModelAvailability(true, UnavailableReason::other);
    }
    static ModelAvailability unavailable(UnavailableReason reason) {
        return ModelAvailability(false, reason);
    }

    bool isAvailable() const { return available_; }
    // Meaningful only when unavailable.
    UnavailableReason reason() const { return reason_; }

    bool operator==(const ModelAvailability&) const = default;

private:
    ModelAvailability(bool available, UnavailableReason reason)
        : available_(available)
        , reason_(reason) {}

    bool available_;
    UnavailableReason reason_;
};

} // namespace quorvane

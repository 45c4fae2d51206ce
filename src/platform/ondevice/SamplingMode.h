#pragma once

namespace quorvane {

// How the model picks each next token: always the likeliest one, or at random
// among the top k or among those within a cumulative probability.
class SamplingMode {
public:
    enum class Kind { greedy, randomTop, randomProbabilityThreshold };

    static SamplingMode greedy() { return SamplingMode(Kind::greedy, 0, 0.0); }
    static SamplingMode randomTop(int top) { return SamplingMode(Kind::randomTop, top, 0.0); }
    static SamplingMode randomProbabilityThreshold(double threshold) {
        return SamplingMode(Kind::randomProbabilityThreshold, 0, threshold);
    }

    Kind kind() const { return kind_; }
    int top() const { return top_; }
    double probabilityThreshold() const { return threshold_; }

    bool operator==(const SamplingMode&) const = default;

private:
    SamplingMode(Kind kind, int top, double threshold)
        : kind_(kind)
        , top_(top)
        , threshold_(threshold) {}

    Kind kind_;
    int top_;
    double threshold_;
};

} // namespace quorvane

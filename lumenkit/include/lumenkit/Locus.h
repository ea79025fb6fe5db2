// Key-frame tracks: lists of (time, value) keys sampled at any time, either along the line
// between the two keys around the time (LocusLinear) or holding the earlier key (LocusStep).
// Shared by Lumenkit and the game: the templates live here whole; only LocusBase's
// constructor is compiled into the library. Times are seconds as float.
//
// Owners append keys to `m_Keys` and raise `m_fMaxTime` themselves. A track sorts its keys
// once, at its first evaluation; keys appended afterwards are not sorted in.
#pragma once

#include <algorithm>
#include <vector>

enum LocusType : int {
    LOCUS_LINEAR = 0,
    LOCUS_STEP = 2,
};

class LocusBase {
public:
    LocusBase& operator=(const LocusBase&) = default;

    float m_fMaxTime;
    LocusType m_Type;

protected:
    explicit LocusBase(LocusType type);
    LocusBase(const LocusBase&) = default;
    ~LocusBase() = default;
};

template <typename T>
struct stLocusKey {
    float time;
    T value;
};

template <typename T>
class Locus : public LocusBase {
public:
    // 1 when t lies within [0, max time] and the track has keys, else 0; out is written
    // unless the track is empty.
    virtual int Evaluate(float t, T& out) = 0;

    std::vector<stLocusKey<T>> m_Keys;
    bool m_bSorted = false;

protected:
    explicit Locus(LocusType type) : LocusBase(type) {}
    Locus(const Locus&) = default;
    Locus& operator=(const Locus&) = default;
    ~Locus() = default;

    // The shared start of every evaluation: sort once, then settle the times outside the
    // track. Returns true when `t` lies inside and the caller goes on to search.
    bool PrepareEvaluate(float t, T& out, int& result)
    {
        if (!m_bSorted) {
            // Stable, so keys of equal time keep the order in which they were added.
            std::stable_sort(m_Keys.begin(), m_Keys.end(),
                             [](const stLocusKey<T>& a, const stLocusKey<T>& b) { return a.time < b.time; });
            m_bSorted = true;
        }
        result = 0;
        if (m_Keys.empty())
            return false;
        if (t > m_fMaxTime) {
            out = m_Keys.back().value;
            return false;
        }
        if (t < 0.0f) {
            out = m_Keys.front().value;
            return false;
        }
        return true;
    }

    // Binary search for a bracket key[mid - 1].time <= t <= key[mid].time (key 0 brackets
    // itself); returns the mid of the last pass, whether or not a bracket was found.
    int FindBracket(float t) const
    {
        int lo = 0;
        int hi = static_cast<int>(m_Keys.size()) - 1;
        int mid = 0;
        while (lo <= hi) {
            mid = (lo + hi) / 2;
            const int prev = std::max(mid, 1) - 1;
            if (m_Keys[prev].time <= t && t <= m_Keys[mid].time)
                break;
            if (t < m_Keys[mid].time)
                hi = mid - 1;
            else
                lo = mid + 1;
        }
        return mid;
    }
};

template <typename T>
class LocusLinear : public Locus<T> {
public:
    LocusLinear() : Locus<T>(LOCUS_LINEAR) {}

    // Between the first key and time 0 the first value holds; past the last key (up to the
    // max time) the line through the last two keys continues.
    int Evaluate(float t, T& out) override
    {
        int result = 0;
        if (!this->PrepareEvaluate(t, out, result))
            return result;
        const int mid = this->FindBracket(t);
        if (mid == 0) {
            out = this->m_Keys[0].value;
            return 1;
        }
        const stLocusKey<T>& a = this->m_Keys[mid - 1];
        const stLocusKey<T>& b = this->m_Keys[mid];
        const float span = b.time - a.time;
        if (span == 0.0f) {
            // Two keys at one time: the later key's value, never a division by zero.
            out = b.value;
            return 1;
        }
        const float f = (t - a.time) / span;
        T step = (b.value - a.value) * f;
        out = a.value;
        out += step;
        return 1;
    }
};

template <typename T>
class LocusStep : public Locus<T> {
public:
    LocusStep() : Locus<T>(LOCUS_STEP) {}

    // Holds the value of the earlier key of the bracket the search finds.
    int Evaluate(float t, T& out) override
    {
        int result = 0;
        if (!this->PrepareEvaluate(t, out, result))
            return result;
        if (t <= this->m_Keys.front().time) {
            out = this->m_Keys.front().value;
            return 1;
        }
        if (t >= this->m_Keys.back().time) {
            out = this->m_Keys.back().value;
            return 1;
        }
        const int mid = this->FindBracket(t);
        out = this->m_Keys[mid == 0 ? 0 : mid - 1].value;
        return 1;
    }
};

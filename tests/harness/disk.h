#pragma once
// Failing the file system for real and on purpose: a step of the file layer made to fail or
// to stop the process, and a small disk that fills up.
#include "platform/files.h"

#include <QString>
#include <functional>
#include <optional>

namespace testing_support {

// While it lives, the file layer's steps of one kind (or of every kind, when change is
// nullopt) fail with err: every one, or only the n-th (1-based) of them. Counts every step
// of the kind it sees.
class FailingSteps {
public:
    FailingSteps(std::optional<plat::fs::Change> change, int err, int nth = 0);
    ~FailingSteps();
    FailingSteps(const FailingSteps&) = delete;
    FailingSteps& operator=(const FailingSteps&) = delete;
    int seen() const { return seen_; }  // steps of the kind so far
    int failed() const { return failed_; }

private:
    int seen_ = 0;
    int failed_ = 0;
};

// Runs f in a child process that ends (as a crash or a killed process would, without any
// clean-up) just before the file layer's n-th change (1-based), counting every change the
// layer makes. Returns true when the child was stopped there, false when f ran to its end
// before the n-th change came. The child's working folder and environment are this one's.
bool StoppedAtChange(int n, const std::function<void()>& f);

// A tmpfs of a few kilobytes mounted at a folder for the life of the object, where the
// machine lets a test mount one (root, or a user namespace); else mounted() is false and
// why() says why.
class SmallDisk {
public:
    SmallDisk(const QString& dir, int kilobytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }
    QString why() const { return why_; }
    // Writes a filler file until the disk refuses more data, then gives back leave bytes.
    void fill(int leave = 0);

private:
    QString dir_;
    bool mounted_ = false;
    QString why_;
};

}  // namespace testing_support

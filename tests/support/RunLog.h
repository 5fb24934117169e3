// The log an analysis writes, built line by line in the order of the run, so a test states
// only what differs from an ordinary run.
#pragma once

#include <string>
#include <utility>
#include <vector>

class TRunLog {
public:
    using TLine = std::pair<std::string, int>;   // text, kind (0 information, 1 error, 2 warning)

    // Starts with the information line of `name`.
    explicit TRunLog(std::string name) : name_(std::move(name)) {
        lines_.push_back({name_ + "のファイル情報を取得中です..しばらくお待ち下さい", 0});
    }
    // A digest ("CRC32", "SHA1", "MD5") from start to completion, with `between` in the middle
    // (a cache line) and `after` its completion line (a comparison).
    TRunLog& Digest(const std::string& label, std::vector<TLine> between = {}, std::vector<TLine> after = {},
                    int kind = 0) {
        Start(label);
        lines_.insert(lines_.end(), between.begin(), between.end());
        lines_.push_back({name_ + "の" + label + "取得完了", kind});
        lines_.insert(lines_.end(), after.begin(), after.end());
        return *this;
    }
    TRunLog& Start(const std::string& label) { return Line(name_ + "の" + label + "取得を開始"); }
    TRunLog& Canceled(const std::string& label) {
        return Line(label + "の取得時にユーザーによるキャンセルを受付ました", 2);
    }
    TRunLog& Line(std::string text, int kind = 0) {
        lines_.push_back({std::move(text), kind});
        return *this;
    }
    // The elapsed-time line of a run that took no whole second.
    TRunLog& Elapsed() { return Line("経過時間:  0時間 0分 0秒"); }

    // The three digests of an ordinary run and its elapsed time.
    static TRunLog AllDigests(const std::string& name) {
        TRunLog log(name);
        log.Digest("CRC32").Digest("SHA1").Digest("MD5").Elapsed();
        return log;
    }

    const std::vector<TLine>& Lines() const { return lines_; }

private:
    std::string name_;
    std::vector<TLine> lines_;
};

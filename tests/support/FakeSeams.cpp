#include "support/FakeSeams.h"

std::optional<QString> FakeDialogs::answer(const FileRequest& request) {
    requests.push_back(request);
    if (fileAnswers.empty())
        return std::nullopt;
    auto next = fileAnswers.front();
    fileAnswers.pop_front();
    return next;
}

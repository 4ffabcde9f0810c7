#include "support/FakeSeams.h"

std::optional<QString> FakeDialogs::answer(const FileRequest& request) {
    requests.push_back(request);
    if (fileAnswers.empty())
        return std::nullopt;
    std::optional<QString> next;
    next.swap(fileAnswers.front());
    fileAnswers.pop_front();
    return next;
}

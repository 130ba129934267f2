#include "store/PasswordQuestion.h"

#include "platform/Text.h"
#include "store/PasswordCheck.h"

namespace pm::store {

std::string ServiceUnreachableText(std::int32_t status, std::string_view job) {
  if (status == platform::service_error::kNotTheService) {
    return "The program that answered in the place of the Pelmora Pro Service is not it, so "
           "the password was not sent to it.";
  }
  return "The Pelmora Pro Service, which " + std::string(job) +
         ", cannot be reached: " + platform::SystemErrorText(status);
}

PasswordAnswer AskPassword(platform::ServiceChannel* service, const PasswordQuestion& question,
                           std::string_view stored) {
  PasswordAnswer answer;
  if (service == nullptr) {
    answer.kind = PasswordMatches(question.typed, stored) ? PasswordAnswer::Kind::Match
                                                          : PasswordAnswer::Kind::NoMatch;
    return answer;
  }
  answer.fromService = true;
  ServiceRequest request;
  request.kind = RequestKind::CheckPassword;
  request.password = question.typed;
  request.purpose = question.purpose;
  request.subject = std::string(platform::FirstCodePoints(question.subject, 200));
  ByteArray bytes;
  if (const std::int32_t status = service->Transact(EncodeRequest(request), bytes); status != 0) {
    answer.kind = PasswordAnswer::Kind::Unanswered;
    answer.reason = ServiceUnreachableText(status, "checks the password");
    return answer;
  }
  const std::optional<ServiceReply> reply = DecodeReply(bytes);
  answer.waitSeconds = reply ? static_cast<int>(reply->waitSeconds) : 0;
  switch (reply ? reply->kind : ReplyKind::Refused) {
    case ReplyKind::Match:
      answer.kind = PasswordAnswer::Kind::Match;
      return answer;
    case ReplyKind::WrongPassword:
      answer.kind = PasswordAnswer::Kind::NoMatch;
      return answer;
    case ReplyKind::Waiting:
      answer.kind = PasswordAnswer::Kind::Wait;
      return answer;
    default:
      answer.kind = PasswordAnswer::Kind::Unanswered;
      answer.reason = "The Pelmora Pro Service gave an answer this program does not know.";
      return answer;
  }
}

}  // namespace pm::store

#include "store/PasswordQuestion.h"

#include "platform/Text.h"
#include "store/PasswordCheck.h"
#include "store/SettingsCatalogue.h"

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
    switch (CheckPassword(question.typed, stored)) {
      case PasswordVerdict::Match:
        answer.kind = PasswordAnswer::Kind::Match;
        break;
      case PasswordVerdict::NoMatch:
        answer.kind = PasswordAnswer::Kind::NoMatch;
        break;
      case PasswordVerdict::NotChecked:
        answer.kind = PasswordAnswer::Kind::NotChecked;
        answer.reason = kPasswordNotChecked;
        break;
    }
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
      answer.ticket = reply->ticket;
      return answer;
    case ReplyKind::WrongPassword:
      answer.kind = PasswordAnswer::Kind::NoMatch;
      return answer;
    case ReplyKind::Waiting:
      answer.kind = PasswordAnswer::Kind::Wait;
      return answer;
    case ReplyKind::NotChecked:
      answer.kind = PasswordAnswer::Kind::NotChecked;
      answer.reason = kPasswordNotChecked;
      return answer;
    default:
      answer.kind = PasswordAnswer::Kind::Unanswered;
      answer.reason = "The Pelmora Pro Service gave an answer this program does not know.";
      return answer;
  }
}

PasswordsStored ReadPasswordsStored(platform::Registry& registry,
                                    platform::ServiceChannel* service) {
  if (service == nullptr) {
    return {!ReadPassword(registry, setting::kUserPassword).empty(),
            !ReadPassword(registry, setting::kUserPassword2).empty()};
  }
  ByteArray bytes;
  if (service->Transact(EncodeRequest({RequestKind::Status, {}}), bytes) == 0) {
    if (const std::optional<ServiceReply> reply = DecodeReply(bytes);
        reply && reply->kind == ReplyKind::Done) {
      return {reply->firstPasswordSet, reply->secondPasswordSet};
    }
  }
  return {true, true};
}

void EndToolTicket(platform::ServiceChannel* service, std::string& ticket) {
  if (service != nullptr && !ticket.empty()) {
    ServiceRequest request(RequestKind::EndTicket, {});
    request.ticket = ticket;
    ByteArray ignored;
    // A ticket the service cannot hear of still ends within half an hour,
    // or with the tool's process.
    platform::BestEffort(platform::ResultOf(service->Transact(EncodeRequest(request), ignored)),
                         "ending the configuration tool's ticket");
  }
  platform::WipeText(ticket);
}

}  // namespace pm::store

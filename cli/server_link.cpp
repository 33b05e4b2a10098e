#include "cli/server_link.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>

namespace qvx::cli {
namespace {

constexpr std::string_view kJson = "application/json";

struct ParsedUrl {
  std::string scheme, host;  // host lowercased, an IPv6 one in brackets
  int port = 0;
};

std::string Lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The parts of "scheme://host[:port][/]"; the problem in words otherwise.
std::string Parse(const std::string& url, ParsedUrl& parsed) {
  const std::string kNeeded = "адрес сервера: нужен http://ХОСТ[:ПОРТ] или https://ХОСТ[:ПОРТ]";
  const std::size_t colon_slashes = url.find("://");
  if (colon_slashes == std::string::npos) return kNeeded;
  parsed.scheme = Lowercase(url.substr(0, colon_slashes));
  if (parsed.scheme != "http" && parsed.scheme != "https") return kNeeded;
  std::string rest = url.substr(colon_slashes + 3);
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  if (rest.find_first_of("/?#@ \t") != std::string::npos)
    return "адрес сервера: только схема, хост и порт, без пути и имени пользователя";
  std::size_t host_end = 0;
  if (rest.starts_with("[")) {
    host_end = rest.find(']');
    if (host_end == std::string::npos) return kNeeded;
    ++host_end;
  } else {
    host_end = std::min(rest.find(':'), rest.size());
  }
  parsed.host = Lowercase(rest.substr(0, host_end));
  if (parsed.host.empty() || parsed.host == "[]") return kNeeded;
  parsed.port = parsed.scheme == "https" ? 443 : 80;
  if (host_end < rest.size()) {
    const std::string port = rest.substr(host_end + 1);
    if (rest[host_end] != ':' || port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), [](unsigned char c) { return std::isdigit(c); }) ||
        std::stoi(port) < 1 || std::stoi(port) > 65535)
      return "адрес сервера: неверный порт";
    parsed.port = std::stoi(port);
  }
  return "";
}

// Why a request got no answer, in words.
std::string TransportFailure(httplib::Error error, long verify_result, bool ca_file) {
  switch (error) {
    case httplib::Error::Connection:
      return "нет связи с сервером (соединение не установлено)";
    case httplib::Error::ConnectionTimeout:
      return "нет связи с сервером (сервер не отвечает)";
    case httplib::Error::SSLServerVerification:
      if (verify_result == X509_V_OK) return "сертификат сервера выдан на другое имя";
      if (verify_result == X509_V_ERR_CERT_HAS_EXPIRED) return "срок сертификата сервера истёк";
      return std::string("сертификат сервера не заверен доверенным центром сертификации") +
             (ca_file ? "" : " (--ca-file ФАЙЛ: доверять сертификату из файла)");
    case httplib::Error::SSLConnection:
      return "не удалось установить защищённое соединение (сервер говорит по HTTPS?)";
    case httplib::Error::SSLLoadingCerts:
      return "не удалось загрузить сертификаты для проверки сервера";
    case httplib::Error::Read:
    case httplib::Error::Write:
    case httplib::Error::Canceled:
      return "связь с сервером прервана";
    default:
      return "ошибка связи с сервером (код " + std::to_string(static_cast<int>(error)) + ")";
  }
}

}  // namespace

std::string ServerUrlProblem(const std::string& url) {
  ParsedUrl parsed;
  return Parse(url, parsed);
}

std::string UrlEncoded(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 15];
    }
  }
  return encoded;
}

ServerLink::ServerLink(std::string url, std::string origin, std::string host)
    : url_(std::move(url)), origin_(std::move(origin)), host_(std::move(host)) {}

std::string ServerLink::Named(const std::string& words) const {
  return "сервер " + url_ + ": " + words;
}

std::unique_ptr<ServerLink> ServerLink::LogIn(ServerLogin login) {
  ParsedUrl parsed;
  if (const std::string problem = Parse(login.url, parsed); !problem.empty())
    throw ServerError(problem);
  const bool default_port = parsed.port == (parsed.scheme == "https" ? 443 : 80);
  // The server compares Origin with its scheme and the Host it was sent.
  const std::string host = parsed.host + (default_port ? "" : ":" + std::to_string(parsed.port));
  std::string url = login.url;
  if (!url.empty() && url.back() == '/') url.pop_back();
  std::unique_ptr<ServerLink> link(new ServerLink(url, parsed.scheme + "://" + host, host));
  link->client_ = std::make_unique<httplib::Client>(parsed.scheme + "://" + parsed.host + ":" +
                                                    std::to_string(parsed.port));
  link->client_->set_connection_timeout(10);
  // A sync's answer of a few thousand records may take the server a while.
  link->client_->set_read_timeout(120);
  link->client_->set_write_timeout(120);
  if (parsed.scheme == "https") {
    link->client_->enable_server_certificate_verification(true);
    if (!login.ca_file.empty()) link->client_->set_ca_cert_path(login.ca_file);
  }
  const std::string body =
      nlohmann::json{{"name", login.user}, {"password", login.password}}.dump();
  std::fill(login.password.begin(), login.password.end(), '\0');
  httplib::Result result = link->client_->Post(
      "/api/login", {{"Origin", link->origin_}, {"Host", host}}, body, std::string(kJson).c_str());
  if (!result)
    throw ServerError(link->Named(TransportFailure(
        result.error(), link->client_->get_openssl_verify_result(), !login.ca_file.empty())));
  const std::string cookie = result->get_header_value("Set-Cookie");
  nlohmann::json answer = nlohmann::json::parse(result->body, nullptr, false);
  if (result->status != 200) {
    const bool words =
        answer.is_object() && answer.contains("error") && answer["error"].is_string();
    if (words) throw ServerError(link->Named(answer["error"].get<std::string>()));
    throw ServerError(link->Named("по этому адресу нет сервера архива (ответ " +
                                  std::to_string(result->status) + ")"));
  }
  if (!cookie.starts_with("qvx_session=") || !answer.is_object() || !answer.contains("csrf") ||
      !answer["csrf"].is_string())
    throw ServerError(link->Named("ответ на вход не читается"));
  link->cookie_ = cookie.substr(0, cookie.find(';'));
  link->csrf_ = answer["csrf"].get<std::string>();
  link->user_ = answer.value("name", login.user);
  return link;
}

ServerLink::~ServerLink() {
  if (cookie_.empty()) return;
  httplib::Headers headers = {
      {"Origin", origin_}, {"Host", host_}, {"Cookie", cookie_}, {"X-Quorvex-Token", csrf_}};
  client_->Post("/api/logout", headers, "", std::string(kJson).c_str());
}

nlohmann::json ServerLink::Send(bool post, const std::string& target, const std::string& body) {
  httplib::Headers headers = {{"Host", host_}, {"Cookie", cookie_}};
  if (post) {
    headers.emplace("Origin", origin_);
    headers.emplace("X-Quorvex-Token", csrf_);
  }
  httplib::Result result = post ? client_->Post(target, headers, body, std::string(kJson).c_str())
                                : client_->Get(target, headers);
  if (!result)
    throw ServerError(
        Named(TransportFailure(result.error(), client_->get_openssl_verify_result(), true)));
  nlohmann::json answer = nlohmann::json::parse(result->body, nullptr, false);
  if (result->status / 100 != 2) {
    if (answer.is_object() && answer.contains("error") && answer["error"].is_string())
      throw ServerError(Named(answer["error"].get<std::string>()));
    throw ServerError(Named("ответ " + std::to_string(result->status)));
  }
  if (result->status == 204) return nlohmann::json::object();
  if (answer.is_discarded()) throw ServerError(Named("ответ сервера не читается"));
  return answer;
}

nlohmann::json ServerLink::Get(const std::string& target) {
  return Send(false, target, "");
}

nlohmann::json ServerLink::Post(const std::string& path, const std::string& body) {
  return Send(true, path, body);
}

}  // namespace qvx::cli

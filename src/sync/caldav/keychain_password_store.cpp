// The keyring through QtKeychain's jobs, each waited for in a local event loop.
#include "sync/caldav/keychain_password_store.h"

#include <QEventLoop>
#include <qt6keychain/keychain.h>

namespace {

constexpr const char* kService = "Dniarz";

// Runs the job to its end; the job's own error, or NoError.
QKeychain::Error RunJob(QKeychain::Job& job)
{
    job.setAutoDelete(false);
    // A keyring that is not there must not become a file with the password in clear.
    job.setInsecureFallback(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return job.error();
}

std::string NoKeyring(const QKeychain::Job& job)
{
    return "pęk kluczy systemu nie odpowiada (" + job.errorString().toStdString() + ")";
}

}  // namespace

std::optional<std::string> KeychainPasswordStore::Read(const std::string& account, std::string& problem)
{
    QKeychain::ReadPasswordJob job(QString::fromLatin1(kService));
    job.setKey(QString::fromStdString(account));
    const QKeychain::Error error = RunJob(job);
    problem.clear();
    if (error == QKeychain::NoError)
        return job.textData().toStdString();
    if (error != QKeychain::EntryNotFound)
        problem = NoKeyring(job);
    return std::nullopt;
}

bool KeychainPasswordStore::Write(const std::string& account, const std::string& password, std::string& problem)
{
    QKeychain::WritePasswordJob job(QString::fromLatin1(kService));
    job.setKey(QString::fromStdString(account));
    job.setTextData(QString::fromStdString(password));
    if (RunJob(job) == QKeychain::NoError) {
        problem.clear();
        return true;
    }
    problem = NoKeyring(job);
    return false;
}

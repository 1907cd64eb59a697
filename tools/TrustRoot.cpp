// TrustRoot: adds a certificate to the local machine's trusted roots the way
// a Windows program does, through the certificate store functions, so the
// tests' throwaway Wine prefix trusts the stand-in service's test
// certificate whatever the store's layout in the registry.
//
//   TrustRoot.exe CERTIFICATE     a PEM or DER file
//
// Exit code 0 once the certificate is in the store, 1 when it could not be
// added, 2 on a usage error.

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr wchar_t kRootStore[] = L"ROOT";

struct StoreCloser {
    void operator()(HCERTSTORE store) const {
        if (store)
            CertCloseStore(store, 0);
    }
};
using UniqueStore = std::unique_ptr<std::remove_pointer_t<HCERTSTORE>, StoreCloser>;

std::string ReadFileBytes(const wchar_t* path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The DER bytes of a PEM file's certificate; a file that is not PEM is taken
// for DER as it is.
std::string DerOf(const std::string& file) {
    const auto size = static_cast<DWORD>(file.size());
    DWORD length = 0;
    if (!CryptStringToBinaryA(file.data(), size, CRYPT_STRING_BASE64HEADER, nullptr, &length,
                              nullptr, nullptr))
        return file;
    std::string der(length, '\0');
    if (!CryptStringToBinaryA(file.data(), size, CRYPT_STRING_BASE64HEADER,
                              reinterpret_cast<BYTE*>(der.data()), &length, nullptr, nullptr))
        return file;
    der.resize(length);
    return der;
}

int Fail(const char* what) {
    std::fprintf(stderr, "TrustRoot: %s (error %lu)\n", what, GetLastError());
    return kExitFailed;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: TrustRoot.exe CERTIFICATE\n");
        return kExitUsage;
    }
    const std::string file = ReadFileBytes(argv[1]);
    if (file.empty())
        return Fail("cannot read the certificate file");
    const std::string der = DerOf(file);
    const UniqueStore store(
        CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, kRootStore));
    if (!store)
        return Fail("cannot open the local machine's ROOT store");
    if (!CertAddEncodedCertificateToStore(
            store.get(), X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
            static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr))
        return Fail("cannot add the certificate to the ROOT store");
    return kExitOk;
}

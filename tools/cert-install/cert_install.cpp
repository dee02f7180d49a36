// cert-install <der file>: adds a DER certificate to the machine's Root store, so that the
// loopback test servers' certificate authority is trusted by WinINet inside a Wine prefix.
// Exit code 0 on success; the reason for a failure goes to stderr.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

bool ReadFileBytes(const wchar_t* path, std::vector<BYTE>* bytes) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(file, nullptr);
  bool ok = size != INVALID_FILE_SIZE && size > 0;
  if (ok) {
    bytes->resize(size);
    DWORD got = 0;
    ok = ::ReadFile(file, bytes->data(), size, &got, nullptr) && got == size;
  }
  CloseHandle(file);
  return ok;
}

int AddToRoot(const std::vector<BYTE>& der) {
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                   CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
  if (!store) {
    std::fprintf(stderr, "CertOpenStore failed: %lu\n", GetLastError());
    return 3;
  }
  BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(),
                                                static_cast<DWORD>(der.size()),
                                                CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  DWORD error = GetLastError();
  CertCloseStore(store, 0);
  if (!added) {
    std::fprintf(stderr, "CertAddEncodedCertificateToStore failed: 0x%08lx\n", error);
    return 4;
  }
  std::printf("certificate added to the machine Root store\n");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: cert-install <certificate.der>\n");
    return 1;
  }
  std::vector<BYTE> der;
  if (!ReadFileBytes(argv[1], &der)) {
    std::fprintf(stderr, "cannot read the certificate file\n");
    return 2;
  }
  return AddToRoot(der);
}

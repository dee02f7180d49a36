#!/usr/bin/env python3
"""Makes the test certificate authorities and the localhost server certificates.

make_certs.py OUTDIR writes, once (files already there are kept):
  ca.pem ca.der ca.key                  the test CA that the test environment trusts
  localhost.pem localhost.key           server certificate for DNS:localhost signed by it
                                        (localhost.pem holds the certificate, then the CA)
  rogue-ca.pem rogue-localhost.pem rogue-localhost.key
                                        the same from a second CA that nobody trusts
Needs the openssl command line tool. Prints the folder on success.
"""
import os
import subprocess
import sys
import tempfile


def run(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def make_ca(out, prefix, subject):
    key, pem, der = (os.path.join(out, prefix + n) for n in ("ca.key", "ca.pem", "ca.der"))
    if os.path.exists(pem):
        return key, pem
    run("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", pem,
        "-days", "3650", "-subj", subject, "-addext", "basicConstraints=critical,CA:TRUE",
        "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    run("x509", "-in", pem, "-outform", "DER", "-out", der)
    return key, pem


def make_server(out, prefix, ca_key, ca_pem):
    key = os.path.join(out, prefix + "localhost.key")
    pem = os.path.join(out, prefix + "localhost.pem")
    if os.path.exists(pem):
        return
    with tempfile.TemporaryDirectory() as tmp:
        csr = os.path.join(tmp, "server.csr")
        ext = os.path.join(tmp, "server.ext")
        crt = os.path.join(tmp, "server.crt")
        with open(ext, "w") as f:
            f.write("basicConstraints=CA:FALSE\n"
                    "keyUsage=digitalSignature,keyEncipherment\n"
                    "extendedKeyUsage=serverAuth\n"
                    "subjectAltName=DNS:localhost\n")
        run("req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", csr,
            "-subj", "/CN=localhost")
        run("x509", "-req", "-in", csr, "-CA", ca_pem, "-CAkey", ca_key, "-CAcreateserial",
            "-CAserial", os.path.join(tmp, "ca.srl"), "-out", crt, "-days", "825",
            "-extfile", ext)
        with open(pem, "w") as f, open(crt) as c, open(ca_pem) as a:
            f.write(c.read())
            f.write(a.read())


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_certs.py OUTDIR")
    out = os.path.abspath(sys.argv[1])
    os.makedirs(out, exist_ok=True)
    for prefix, subject in (("", "/CN=Quillon Test CA"), ("rogue-", "/CN=Untrusted Test CA")):
        ca_key, ca_pem = make_ca(out, prefix, subject)
        make_server(out, prefix, ca_key, ca_pem)
    print(out)


if __name__ == "__main__":
    main()

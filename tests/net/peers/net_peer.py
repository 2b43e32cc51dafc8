#!/usr/bin/env python3
"""Loopback peers for the network tests, started and stopped by the tests.

    net_peer.py nginx WORKDIR        nginx serving WORKDIR/www
    net_peer.py tls WORKDIR MODE     openssl s_server (MODE: www, rev, untrusted, wrongname)
    net_peer.py http WORKDIR         a misbehaving HTTP server of our own
    net_peer.py line WORKDIR         a line peer: answers each line with "eco: " and the line
    net_peer.py client WORKDIR       connects to a server started by the test and exchanges lines

Each mode prints one line "READY key=value ..." when it can be reached
(port=, and ca= for the certificate authority a client must trust), then
serves until it gets SIGTERM or its standard input closes. Everything it
creates stays in WORKDIR.
"""
import grp
import os
import pwd
import signal
import socket
import subprocess
import sys
import threading
import time

children = []


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port, limit=10.0):
    end = time.time() + limit
    while time.time() < end:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.2):
                return True
        except OSError:
            time.sleep(0.01)
    return False


def ready(**values):
    sys.stdout.write("READY " + " ".join(f"{k}={v}" for k, v in values.items()) + "\n")
    sys.stdout.flush()


def stop(*_):
    for child in children:
        if child.poll() is None:
            child.terminate()
            try:
                child.wait(2)
            except subprocess.TimeoutExpired:
                child.kill()
    os._exit(0)


def serve_until_stopped():
    # The test closing our standard input also ends us, so that no peer
    # outlives a test that crashed.
    try:
        sys.stdin.read()
    except Exception:
        pass
    stop()


def run_nginx(work):
    port = free_port()
    for folder in ("logs", "tmp"):
        os.makedirs(os.path.join(work, folder), exist_ok=True)
    conf = os.path.join(work, "nginx.conf")
    # Workers run as the user who runs the test, so that a private temporary
    # folder stays readable to them (nginx ignores this line for other users).
    user = pwd.getpwuid(os.getuid()).pw_name
    group = grp.getgrgid(os.getgid()).gr_name
    with open(conf, "w") as f:
        f.write(f"""
worker_processes 1;
user {user} {group};
pid {work}/nginx.pid;
error_log {work}/logs/error.log;
events {{ worker_connections 64; }}
http {{
    access_log off;
    client_body_temp_path {work}/tmp;
    proxy_temp_path {work}/tmp;
    fastcgi_temp_path {work}/tmp;
    uwsgi_temp_path {work}/tmp;
    scgi_temp_path {work}/tmp;
    types {{ text/plain txt; application/octet-stream bin; audio/mpeg mp3; }}
    sendfile on;
    server {{
        listen 127.0.0.1:{port};
        root {work}/www;
        location = /redirect {{ absolute_redirect off; return 302 /data.bin; }}
        location = /moved {{ return 301 http://127.0.0.1:{port}/data.bin; }}
    }}
}}
""")
    children.append(subprocess.Popen(
        ["nginx", "-p", work, "-c", conf, "-g", "daemon off;"],
        stdin=subprocess.DEVNULL, stderr=open(os.path.join(work, "logs", "stderr.log"), "w")))
    if not wait_for_port(port):
        stop()
    ready(port=port)
    serve_until_stopped()


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_certificates(work, name, signer):
    """A CA named `signer` (made once) and a server certificate for `name`."""
    if not os.path.exists(os.path.join(work, f"{signer}.pem")):
        openssl("req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj", f"/CN={signer}",
                "-keyout", f"{signer}.key", "-out", f"{signer}.pem", cwd=work)
    with open(os.path.join(work, "san.ext"), "w") as f:
        f.write(f"subjectAltName={name}\nbasicConstraints=CA:FALSE\n")
    openssl("req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj", "/CN=server", "-keyout", "server.key", "-out", "server.csr", cwd=work)
    openssl("x509", "-req", "-in", "server.csr", "-CA", f"{signer}.pem", "-CAkey", f"{signer}.key", "-CAcreateserial",
            "-days", "2", "-extfile", "san.ext", "-out", "server.pem", cwd=work)


def run_tls(work, mode):
    names = "IP:127.0.0.1,DNS:localhost"
    signer = "testca"
    if mode == "untrusted":
        signer = "strangerca"
    if mode == "wrongname":
        names = "DNS:elsewhere.test"
    make_certificates(work, names, signer)
    if signer != "testca":
        make_certificates_ca_only(work)
    port = free_port()
    flag = {"rev": "-rev"}.get(mode, "-WWW")
    children.append(subprocess.Popen(
        ["openssl", "s_server", "-quiet", "-accept", str(port), "-cert", os.path.join(work, "server.pem"),
         "-key", os.path.join(work, "server.key"), flag],
        cwd=os.path.join(work, "www") if flag == "-WWW" else work,
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    if not wait_for_port(port):
        stop()
    ca = os.path.join(work, "testca.pem")
    ready(port=port, ca=ca, SSL_CERT_FILE=ca)
    serve_until_stopped()


def make_certificates_ca_only(work):
    if not os.path.exists(os.path.join(work, "testca.pem")):
        openssl("req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj", "/CN=testca",
                "-keyout", "testca.key", "-out", "testca.pem", cwd=work)


def misbehaving_answer(connection, path, port):
    def send(data):
        connection.sendall(data if isinstance(data, bytes) else data.encode("latin-1"))

    if path == "/loop":
        send(f"HTTP/1.0 302 Found\r\nLocation: http://127.0.0.1:{port}/loop\r\n\r\n")
    elif path == "/relative/start":
        send("HTTP/1.0 302 Found\r\nLocation: target.txt\r\n\r\n")
    elif path == "/relative/target.txt":
        send("HTTP/1.0 200 OK\r\nContent-Length: 9\r\nContent-Type: text/plain\r\n\r\nrelativo\n")
    elif path == "/slow":
        time.sleep(30)
    elif path == "/short":
        send("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + "x" * 600)
        time.sleep(30)
    elif path == "/cut":
        send("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + "y" * 999)
    elif path == "/500":
        send("HTTP/1.0 500 Internal Server Error\r\nContent-Length: 12\r\n\r\npagina-de-erro")
    elif path == "/endless":
        send("HTTP/1.0 200 OK\r\nX-Long: ")
        try:
            for _ in range(64):
                send("a" * 1024)
        except OSError:
            pass
    elif path == "/garbage":
        send("QUALQUER COISA\r\n\r\n")
    elif path == "/text":
        send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nlinha um\r\nlinha dois\nfim")
    elif path == "/stream":
        send("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n" + "s" * 5000)
    else:
        send("HTTP/1.0 404 Not Found\r\n\r\n")


def run_http(work):
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(16)
    port = server.getsockname()[1]
    log = open(os.path.join(work, "requests.log"), "ab", buffering=0)

    def handle(connection):
        with connection:
            request = b""
            while b"\r\n\r\n" not in request:
                data = connection.recv(4096)
                if not data:
                    return
                request += data
            log.write(request)
            path = request.split(b" ")[1].decode("latin-1")
            try:
                misbehaving_answer(connection, path, port)
            except OSError:
                pass

    def accept_loop():
        while True:
            connection, _ = server.accept()
            threading.Thread(target=handle, args=(connection,), daemon=True).start()

    threading.Thread(target=accept_loop, daemon=True).start()
    ready(port=port)
    serve_until_stopped()


def run_line(work):
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(4)
    port = server.getsockname()[1]

    def handle(connection):
        with connection, connection.makefile("rb") as lines:
            connection.sendall(b"ola do servidor\r\n")
            for line in lines:
                text = line.rstrip(b"\r\n")
                if text == b"fim":
                    connection.sendall(b"ultima sem fim de linha")
                    return
                connection.sendall(b"eco: " + text + b"\r\n")

    def accept_loop():
        while True:
            connection, _ = server.accept()
            threading.Thread(target=handle, args=(connection,), daemon=True).start()

    threading.Thread(target=accept_loop, daemon=True).start()
    ready(port=port)
    serve_until_stopped()


def run_client(work):
    """For SERVE: the port is chosen here, and the client keeps trying until the server listens."""
    port = free_port()

    def talk():
        end = time.time() + 20
        while time.time() < end:
            try:
                connection = socket.create_connection(("127.0.0.1", port), timeout=5)
                break
            except OSError:
                time.sleep(0.02)
        else:
            return
        with connection, connection.makefile("rb") as lines:
            connection.sendall(b"ola do cliente\r\n")
            for line in lines:
                connection.sendall(b"recebi: " + line.rstrip(b"\r\n") + b"\r\n")

    threading.Thread(target=talk, daemon=True).start()
    ready(port=port)
    serve_until_stopped()


def main():
    # Taken before any server starts: a test that stops us right after
    # READY would otherwise end us with the default action and leave the
    # server running, orphaned.
    signal.signal(signal.SIGTERM, stop)
    mode, work = sys.argv[1], os.path.abspath(sys.argv[2])
    os.makedirs(os.path.join(work, "www"), exist_ok=True)
    if mode == "nginx":
        run_nginx(work)
    elif mode == "tls":
        run_tls(work, sys.argv[3])
    elif mode == "http":
        run_http(work)
    elif mode == "line":
        run_line(work)
    elif mode == "client":
        run_client(work)
    else:
        sys.exit(f"unknown mode {mode}")


if __name__ == "__main__":
    main()

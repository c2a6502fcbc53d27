"""The own UDP and TCP protocol against the running program: byte counts, delivery receipts, the
stored message, a port taken by another program, and a quick exit while a client holds a connection."""

from __future__ import annotations

import re
import socket
import time

from native_send import native_tavik_send
from stored_messages import message_files
from tavik_harness import SETTINGS_KEY, free_port, wait_until

START_TIMEOUT = 60


def start_on_port(wine, port: int):
    """Starts Tavik with both listeners on port and waits for its main window."""
    wine.reg_add(SETTINGS_KEY)
    wine.reg_add(SETTINGS_KEY, "TCPPort", "REG_DWORD", port)
    wine.reg_add(SETTINGS_KEY, "UDPPort", "REG_DWORD", port)
    tavik = wine.start_tavik()
    tavik.wait_for_main_window(START_TIMEOUT)
    return tavik


def udp_message(text: bytes, name: bytes, flag: bytes, reply: bytes) -> bytes:
    return (b"MESSAGE\0#0" + text + b"\0#1" + name + b"\0#2\0#3" + flag + b"\0#4\0#5" + reply
            + b"\0#6\0")


def send_until_counted(peer: socket.socket, port: int, datagram: bytes) -> bytes:
    """Sends until the listener answers with its 4-byte count (it may still be starting)."""
    deadline = time.monotonic() + START_TIMEOUT
    while time.monotonic() < deadline:
        peer.sendto(datagram, ("127.0.0.1", port))
        peer.settimeout(1)
        try:
            answer, _ = peer.recvfrom(70000)
        except socket.timeout:
            continue
        return answer
    raise TimeoutError("the UDP listener never answered")


def connect_when_listening(port: int) -> socket.socket:
    deadline = time.monotonic() + START_TIMEOUT
    while True:
        try:
            return socket.create_connection(("127.0.0.1", port), timeout=5)
        except OSError:
            if time.monotonic() >= deadline:
                raise
            time.sleep(0.25)


def read_until_closed(connection: socket.socket, timeout: float = 30) -> bytes:
    connection.settimeout(timeout)
    data = b""
    while True:
        chunk = connection.recv(4096)
        if not chunk:
            return data
        data += chunk


def stored(wine, count: int = 1):
    """The stored messages as (flag, sender, text), once count of them exist."""
    files = wait_until(lambda: len(message_files(wine.data_dir())) >= count and message_files(wine.data_dir()),
                       30, 0.25, f"{count} stored message(s)")
    result = []
    for path in files:
        data = path.read_bytes()
        sender, _, rest = data[1:].partition(b"\r\n")
        _, _, text = rest.partition(b"\r\n")
        result.append((data[:1], sender.decode("cp1252"), text.decode("cp1252")))
    return result


def test_udp_message_is_counted_receipted_and_stored(wine):
    port = free_port()
    tavik = start_on_port(wine, port)
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as peer:
        peer.bind(("127.0.0.1", 0))
        reply_port = peer.getsockname()[1]
        datagram = udp_message(b"Message from ANN to BOB.\r\nThe build is green.", b"PC1", b"0",
                               f"127.0.0.1:{reply_port}u".encode())
        assert send_until_counted(peer, port, datagram) == len(datagram).to_bytes(4, "little")
        peer.settimeout(30)
        receipt, _ = peer.recvfrom(70000)
    assert receipt.startswith(b"NOTIFY_MESSAGE\0#0")
    fields = re.fullmatch(rb"NOTIFY_MESSAGE\0#0([^\0]*)\0#1([^\0]*)\0#2\0#30\0#4\0#5([0-9.]*):(\d+)u\0#6\0#7\0#8\0#9\0",
                          receipt, re.S)
    assert fields, receipt
    text = fields.group(1).decode("cp1252")
    assert text.startswith("Message to BOB ") and text.endswith(f"({len(datagram)} bytes).")
    assert 0 < len(fields.group(2)) <= 15, "the receiver's computer name"
    assert int(fields.group(4)) == port

    assert stored(wine) == [(b"0", f"PC1/127.0.0.1:{reply_port}u",
                             "Message from ANN to BOB.\r\nThe build is green.")]
    assert tavik.stop() == 0


def test_tcp_message_with_high_priority_is_counted_and_stored(wine):
    port = free_port()
    tavik = start_on_port(wine, port)
    message = f"/$0Deploy now/$1PC2/$2/$31/$4/$5127.0.0.1:{port}/$6/$7".encode()
    with connect_when_listening(port) as connection:
        connection.sendall(message)
        assert read_until_closed(connection) == str(len(message)).encode()
    # The other UDP framing over TCP, or no end mark: answered, but nothing is stored.
    with connect_when_listening(port) as connection:
        unended = b"/$0not ended/$1PC2/$2"
        connection.sendall(unended)
        connection.shutdown(socket.SHUT_WR)
        assert read_until_closed(connection) == str(len(unended)).encode()
    assert stored(wine) == [(b"1", "PC2/127.0.0.1", "Deploy now")]
    time.sleep(1)
    assert len(message_files(wine.data_dir())) == 1
    assert tavik.stop() == 0


def test_a_taken_tcp_port_is_reported_and_udp_still_works(wine):
    port = free_port()
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as holder:
        holder.bind(("", port))
        holder.listen(1)
        tavik = start_on_port(wine, port)
        wine.wait_for_window("^Quorlex Tavik$", START_TIMEOUT, visible_only=True)
        boxes = [w for w in wine.find_win32_windows("^Quorlex Tavik$", visible_only=True) if w.owner != 0]
        assert len(boxes) == 1, "one box, for TCP only"
        assert any(f"TCP port {port} is already in use" in text for text in boxes[0].texts), boxes[0].texts
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as peer:
            peer.bind(("127.0.0.1", 0))
            datagram = udp_message(b"still here", b"PC3", b"0", b"")
            assert send_until_counted(peer, port, datagram) == len(datagram).to_bytes(4, "little")
        assert stored(wine)[0][2] == "still here"
    assert tavik.stop() == 0


def test_exit_is_prompt_while_a_client_holds_a_silent_connection(wine):
    port = free_port()
    tavik = start_on_port(wine, port)
    with connect_when_listening(port) as silent:
        silent.sendall(b"half a mess")
        time.sleep(1)
        started = time.monotonic()
        assert tavik.stop(timeout=60) == 0
        assert time.monotonic() - started < 30, "the listeners ended without waiting for the client"
        assert read_until_closed(silent, timeout=10) == b"", "the held connection is dropped unanswered"
    assert message_files(wine.data_dir()) == []


def test_tavik_send_from_windows_and_linux_reaches_the_program_in_its_code_page(wine):
    port = free_port()
    tavik = start_on_port(wine, port)
    # The UDP listener may still be starting: a first "no reply" is tried again.
    deadline = time.monotonic() + START_TIMEOUT
    while True:
        udp = wine.run(["tavik-send.exe", "--udp", f"127.0.0.1:{port}", "--from", "WINPC", "--timeout", "10",
                        "Message", "from", "X", "to", "YOU."])
        if udp.returncode == 0 or time.monotonic() >= deadline:
            break
    output = udp.stdout.decode("cp1252")
    assert udp.returncode == 0, output + udp.stderr.decode("cp1252")
    assert re.search(r"reply: \d+ bytes received\r?\n", output), output
    assert re.search(r"receipt: Message to 127\.0\.0\.1 .*\(\d+ bytes\)\.", output), output

    tcp = wine.run(["tavik-send.exe", "--tcp", f"127.0.0.1:{port}", "--from", "WINPC", "--high", "--timeout", "10",
                    "-"], input=b"first line\nsecond line\n")
    assert tcp.returncode == 0, tcp.stdout + tcp.stderr
    assert re.search(rb"reply: \d+ bytes received", tcp.stdout)

    # Typed on Linux, the text is UTF-8; the program reads Windows-1252 (stored() decodes it so).
    linux = native_tavik_send(["--udp", f"127.0.0.1:{port}", "--from", "Jörg", "--timeout", "10", "Grüße, 20 €"])
    assert linux.returncode == 0, linux.stdout + linux.stderr
    assert linux.stderr == b""

    messages = stored(wine, 3)
    udp_stored = [m for m in messages if m[0] == b"0" and m[1].startswith("WINPC")]
    tcp_stored = [m for m in messages if m[0] == b"1"]
    linux_stored = [m for m in messages if m[1].startswith("J")]
    assert len(udp_stored) == 1 and len(tcp_stored) == 1 and len(linux_stored) == 1, messages
    assert udp_stored[0][2] == "Message from X to YOU."
    assert re.fullmatch(r"WINPC/127\.0\.0\.1:\d+u", udp_stored[0][1]), udp_stored[0][1]
    assert tcp_stored[0][1:] == ("WINPC/127.0.0.1", "first line\r\nsecond line")
    assert linux_stored[0][2] == "Grüße, 20 €"
    assert re.fullmatch(r"Jörg/127\.0\.0\.1:\d+u", linux_stored[0][1]), linux_stored[0][1]

    usage = wine.run(["tavik-send.exe", "--udp"])
    assert usage.returncode == 2
    assert b"--mailslot" in usage.stderr
    assert tavik.stop() == 0


def send_tcp(port: int, message: bytes) -> bytes:
    with connect_when_listening(port) as connection:
        connection.sendall(message)
        return read_until_closed(connection)


def test_high_priority_is_refused_from_an_address_off_the_priority_list(wine):
    port = free_port()
    wine.reg_add(SETTINGS_KEY)
    wine.reg_add(SETTINGS_KEY, "HigthPriorMess", "REG_SZ", "10.*")
    tavik = start_on_port(wine, port)
    urgent = b"/$0urgent/$1PC4/$2/$31/$4/$5/$6/$7"
    assert send_tcp(port, urgent) == str(len(urgent)).encode()
    normal = b"/$0normal/$1PC4/$2/$30/$4/$5/$6/$7"
    assert send_tcp(port, normal) == str(len(normal)).encode()
    # Messages are handled in arrival order: once the normal one is stored, the urgent one was refused.
    assert stored(wine) == [(b"0", "PC4/127.0.0.1", "normal")]
    assert tavik.stop() == 0


def test_high_priority_from_a_listed_address_pops_the_window_up(wine):
    port = free_port()
    wine.reg_add(SETTINGS_KEY)
    wine.reg_add(SETTINGS_KEY, "TCPPort", "REG_DWORD", port)
    wine.reg_add(SETTINGS_KEY, "UDPPort", "REG_DWORD", port)
    wine.reg_add(SETTINGS_KEY, "PlaySound", "REG_DWORD", 0)
    tavik = wine.start_tavik(show_command=7)
    window = tavik.wait_for_main_window(START_TIMEOUT)
    assert not wine.is_visible(window)
    urgent = b"/$0urgent/$1PC5/$2/$31/$4/$5/$6/$7"
    assert send_tcp(port, urgent) == str(len(urgent)).encode()
    assert stored(wine) == [(b"1", "PC5/127.0.0.1", "urgent")]
    wait_until(lambda: wine.is_visible(window), 30, 0.25, "the window to pop up")
    assert tavik.stop() == 0


def test_both_ports_taken_give_two_boxes_and_the_mailslot_still_works(wine):
    port = free_port()
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as tcp_holder, \
            socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as udp_holder:
        tcp_holder.bind(("", port))
        tcp_holder.listen(1)
        udp_holder.bind(("", port))
        tavik = start_on_port(wine, port)

        def boxes():
            found = [w for w in wine.find_win32_windows("^Quorlex Tavik$", visible_only=True) if w.owner != 0]
            return found if len(found) == 2 else None

        texts = " ".join(t for box in wait_until(boxes, START_TIMEOUT, 0.5, "two boxes") for t in box.texts)
        assert f"TCP port {port}" in texts and f"UDP port {port}" in texts, texts
        assert tavik.is_running()
        sent = wine.run(["tavik-send.exe", "--mailslot", "--from", "PC6", "--to", "BOB", "by mailslot"])
        assert sent.returncode == 0
        assert stored(wine)[0][1] == "PC6"
    # The ports are free now: the listeners take them on their next try, without a restart.
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as peer:
        answer = send_until_counted(peer, port, udp_message(b"after the port came free", b"PC7", b"0", b""))
        assert len(answer) == 4
    assert any(sender.startswith("PC7/") for _, sender, _ in stored(wine, 2))
    assert tavik.stop() == 0


def test_a_port_beyond_the_range_is_reported_as_stored(wine):
    wine.reg_add(SETTINGS_KEY)
    wine.reg_add(SETTINGS_KEY, "UDPPort", "REG_DWORD", 70000)
    wine.reg_add(SETTINGS_KEY, "DisableTCPTread", "REG_DWORD", 1)
    tavik = wine.start_tavik()
    tavik.wait_for_main_window(START_TIMEOUT)
    box = wait_until(lambda: [w for w in wine.find_win32_windows("^Quorlex Tavik$", visible_only=True)
                              if w.owner != 0], START_TIMEOUT, 0.5, "the port box")
    assert "UDP port 70000" in " ".join(box[0].texts)
    assert tavik.stop() == 0


def test_a_resume_that_comes_while_the_listeners_stop_leaves_them_running(wine):
    port = free_port()
    tavik = start_on_port(wine, port)
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as peer:
        send_until_counted(peer, port, udp_message(b"before", b"PC1", b"0", b""))
    handle = wine.tavik_main_windows()[0].handle
    wm_powerbroadcast, suspend, resume = 0x218, 4, 7
    # The resume follows the suspend closely, so it arrives while the stop still waits for the threads.
    sent = wine.run(["send-window-message.exe", f"{handle:x}", str(wm_powerbroadcast), str(suspend), "0",
                     str(wm_powerbroadcast), str(resume), "0", "50"])
    assert sent.returncode == 0, sent.stdout + sent.stderr
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as peer:
        assert len(send_until_counted(peer, port, udp_message(b"after", b"PC2", b"0", b""))) == 4
    assert tavik.stop() == 0


def test_a_small_tilde_that_would_crash_wine_drawing_it_is_shown_plain_and_stored_as_sent(wine):
    # Wine's text shaping crashes the program when 0x98 (U+02DC) begins a run: after a digit, at a line start.
    port = free_port()
    tavik = start_on_port(wine, port)
    text = b"Price 5\x98\r\n\x98 to be drawn"
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as peer:
        peer.bind(("127.0.0.1", 0))
        send_until_counted(peer, port, udp_message(text, b"PC\x981", b"0", b""))
    assert [message[2] for message in stored(wine)] == [text.decode("cp1252")]
    shown = wait_until(lambda: [w for w in wine.tavik_main_windows() if "5~" in w.child(1000).text], 30, 0.5,
                       "the text shown with a plain tilde")
    assert shown[0].child(1000).text.endswith("\r\nPrice 5~\r\n~ to be drawn")  # after the date line
    assert tavik.is_running()
    assert tavik.stop() == 0

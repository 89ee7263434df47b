#!/usr/bin/env python3
"""A TCP relay on 127.0.0.1 that holds every chunk for a fixed delay in each direction.

These machines have no netem, so latency is put on the link here: with a delay of d ms
each way a request and its answer take at least 2 d. Chunks keep their order, and a
chunk is sent at its own arrival time plus d, so a stream is delayed, not slowed.

Usage: delayrelay.py LISTEN_PORT TARGET_PORT DELAY_MS   (prints "ready" when listening)
"""
import asyncio
import socket
import sys


async def pump(reader, writer, delay):
    loop = asyncio.get_running_loop()
    queue = asyncio.Queue()

    async def sender():
        while True:
            due, data = await queue.get()
            wait = due - loop.time()
            if wait > 0:
                await asyncio.sleep(wait)
            if data is None:
                break
            writer.write(data)
            await writer.drain()
        writer.close()

    task = asyncio.create_task(sender())
    try:
        while True:
            data = await reader.read(65536)
            queue.put_nowait((loop.time() + delay, data or None))
            if not data:
                break
    except ConnectionError:
        queue.put_nowait((loop.time(), None))
    try:
        await task
    except ConnectionError:
        pass


async def main():
    listen_port, target_port, delay = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3]) / 1000

    async def relay(client_reader, client_writer):
        client_writer.get_extra_info("socket").setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        server_reader, server_writer = await asyncio.open_connection("127.0.0.1", target_port)
        server_writer.get_extra_info("socket").setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        await asyncio.gather(pump(client_reader, server_writer, delay),
                             pump(server_reader, client_writer, delay))

    server = await asyncio.start_server(relay, "127.0.0.1", listen_port)
    print("ready", flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())

#!/usr/bin/env python3
"""A plain WHOIS client for comparison: N connections in flight, one query each, reply read to close.
Usage: asyncio-whois.py HOST PORT FILE [IN_FLIGHT]   Prints names, seconds and names per second."""
import asyncio, sys, time

async def ask(host, port, name):
    reader, writer = await asyncio.open_connection(host, port)
    writer.write(name.encode() + b"\r\n")
    await writer.drain()
    reply = await reader.read()
    writer.close()
    return b"no match for" in reply.lower()

async def main(host, port, path, in_flight):
    names = [line.strip() for line in open(path, encoding="latin-1") if line.strip()]
    queue = asyncio.Queue()
    for name in names:
        queue.put_nowait(name if ".com" in name or ".net" in name else name + ".com")
    async def worker():
        while not queue.empty():
            await ask(host, port, queue.get_nowait())
    start = time.monotonic()
    await asyncio.gather(*(worker() for _ in range(in_flight)))
    seconds = time.monotonic() - start
    print(f"{len(names)} names in {seconds:.2f} s: {len(names) / seconds:.0f} names per second")

if __name__ == "__main__":
    asyncio.run(main(sys.argv[1], int(sys.argv[2]), sys.argv[3], int(sys.argv[4]) if len(sys.argv) > 4 else 25))

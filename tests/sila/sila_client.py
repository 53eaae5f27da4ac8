#!/usr/bin/python3
"""A SiLA 2 client that knows nothing but the protos: it builds each call's messages from a
descriptor set (protoc --descriptor_set_out --include_imports) and calls methods by name.

    sila_client.py DESCRIPTORS HOST:PORT CA.pem|--insecure < calls

Each line of the calls is one of
    call Service.Method JSON        a unary call
    stream Service.Method JSON N    a streaming call: N messages (or "all"), then it is cancelled
    parallel Service.Method JSON N  the same unary call on N channels at once: "ok N" when all answer
    raw Service.Method HEX          a request of these bytes, whatever they are
    oversized Service.Method N      a request of N bytes
    kill PID                        ends a process (a pump that loses power)
    sleep SECONDS
and prints one line a message or an outcome:
    ok JSON | end | grpc CODE MESSAGE
    validation PARAMETER MESSAGE | defined IDENTIFIER MESSAGE | undefined MESSAGE
    framework ERRORTYPE MESSAGE
"$uuid" in a call stands for the CommandExecutionUUID the last call returned.
"""
import base64
import json
import os
import signal
import sys
import threading
import time

import grpc
from google.protobuf import descriptor_pb2, descriptor_pool, json_format, message_factory


def load(path):
    files = descriptor_pb2.FileDescriptorSet()
    with open(path, "rb") as f:
        files.ParseFromString(f.read())
    pool = descriptor_pool.DescriptorPool()
    for proto in files.file:
        pool.Add(proto)
    return pool


def message_class(descriptor):
    if hasattr(message_factory, "GetMessageClass"):
        return message_factory.GetMessageClass(descriptor)
    return message_factory.MessageFactory(descriptor.file.pool).GetPrototype(descriptor)


def as_line(message):
    return json.dumps(json_format.MessageToDict(message, preserving_proto_field_name=True), sort_keys=True)


def told(error, framework):
    """The line for a gRPC error: a SiLA error decoded from the ABORTED status's base64."""
    return one_line(sila_text(error, framework))


def one_line(text):
    return text.replace("\\", "\\\\").replace("\n", "\\n")


def sila_text(error, framework):
    if error.code() != grpc.StatusCode.ABORTED:
        return "grpc %s %s" % (error.code().name, error.details())
    sila = framework()
    try:
        sila.ParseFromString(base64.b64decode(error.details(), validate=True))
    except Exception as e:  # not a SiLA error: say so
        return "grpc ABORTED-NOT-SILA %s (%s)" % (error.details(), e)
    kind = sila.WhichOneof("error")
    e = getattr(sila, kind)
    if kind == "validationError":
        return "validation %s %s" % (e.parameter, e.message)
    if kind == "definedExecutionError":
        return "defined %s %s" % (e.errorIdentifier, e.message)
    if kind == "undefinedExecutionError":
        return "undefined %s" % e.message
    return "framework %s %s" % (type(e).ErrorType.Name(e.errorType), e.message)


def main():
    descriptors, target, ca = sys.argv[1:4]
    pool = load(descriptors)
    framework = message_class(pool.FindMessageTypeByName("sila2.org.silastandard.SiLAError"))
    services = {}
    for name in ["sila2.org.silastandard.core.silaservice.v1.SiLAService",
                 "sila2.org.zadurovu.pumps.syringepumpcontroller.v1.SyringePumpController"]:
        services[name.rsplit(".", 1)[1]] = name
    credentials = None
    if ca != "--insecure":
        with open(ca, "rb") as f:
            credentials = grpc.ssl_channel_credentials(f.read())

    def connect():
        if credentials is None:
            return grpc.insecure_channel(target)
        return grpc.secure_channel(target, credentials)

    channel = connect()
    uuid = ""
    for line in sys.stdin:
        words = line.split(" ", 2)
        if not line.strip():
            continue
        if words[0] == "sleep":
            time.sleep(float(words[1]))
            continue
        if words[0] == "kill":
            os.kill(int(words[1]), signal.SIGKILL)
            continue
        service, method = words[1].split(".")
        descriptor = pool.FindMethodByName(services[service] + "." + method)
        rest = words[2].replace("$uuid", uuid) if len(words) > 2 else "{}"
        count = None
        if words[0] in ("stream", "parallel"):
            rest, count = rest.rstrip().rsplit(" ", 1)
        response_class = message_class(descriptor.output_type)
        path = "/%s/%s" % (services[service], method)
        serialize = lambda m: m.SerializeToString()
        if words[0] in ("call", "stream"):
            request = json_format.Parse(rest, message_class(descriptor.input_type)())
        if words[0] in ("raw", "oversized"):
            data = bytes.fromhex(rest.strip()) if words[0] == "raw" else b"\x0a" * int(rest)
            call = channel.unary_unary(path, request_serializer=lambda b: b,
                                       response_deserializer=response_class.FromString)
            try:
                print("ok " + as_line(call(data, timeout=30)), flush=True)
            except grpc.RpcError as e:
                print(told(e, framework), flush=True)
            continue
        if words[0] == "parallel":
            request = json_format.Parse(rest, message_class(descriptor.input_type)())
            outcomes = []

            def one():
                with connect() as own:
                    call = own.unary_unary(path, request_serializer=serialize,
                                           response_deserializer=response_class.FromString)
                    try:
                        # A connection that a loaded machine sets up late is waited for, as a
                        # scheduler that retries would: the server is known to be up.
                        call(request, timeout=60, wait_for_ready=True)
                        outcomes.append("ok")
                    except grpc.RpcError as e:
                        outcomes.append(told(e, framework))
            threads = [threading.Thread(target=one) for _ in range(int(count))]
            for t in threads:
                t.start()
            for t in threads:
                t.join()
            failed = [o for o in outcomes if o != "ok"]
            print("ok %d" % len(outcomes) if not failed else failed[0], flush=True)
            continue
        if words[0] == "call":
            call = channel.unary_unary(path, request_serializer=serialize,
                                       response_deserializer=response_class.FromString)
            try:
                response = call(request, timeout=30)
                if response.DESCRIPTOR.full_name == "sila2.org.silastandard.CommandConfirmation":
                    uuid = response.commandExecutionUUID.value
                    print("ok confirmed", flush=True)
                else:
                    print("ok " + as_line(response), flush=True)
            except grpc.RpcError as e:
                print(told(e, framework), flush=True)
        else:
            call = channel.unary_stream(path, request_serializer=serialize,
                                        response_deserializer=response_class.FromString)
            stream = call(request, timeout=60)
            got = 0
            try:
                for response in stream:
                    print("ok " + as_line(response), flush=True)
                    got += 1
                    if count != "all" and got >= int(count):
                        stream.cancel()
                        break
                else:
                    print("end", flush=True)
            except grpc.RpcError as e:
                print(told(e, framework), flush=True)
    channel.close()


if __name__ == "__main__":
    main()

"""A feature definition's wire form, derived by the FDL-to-gRPC rules, compared field by field
with what protoc makes of a .proto file.

Both sides become the same plain model (package, service, rpcs, messages with their fields,
nested messages and enums), so a difference is told in one sentence: which message, which field,
what was expected and what is there.
"""

import os
import subprocess
import tempfile
import xml.etree.ElementTree as ElementTree
from dataclasses import dataclass, field

from google.protobuf import descriptor_pb2

NS = "{http://www.sila-standard.org}"
FRAMEWORK = ".sila2.org.silastandard."
BASIC_TYPES = {"String", "Integer", "Real", "Boolean", "Binary", "Date", "Time", "Timestamp", "Any"}


class Problem(Exception):
    """A feature definition the rules cannot map, or a file protoc refuses."""


@dataclass
class Field:
    number: int
    type: str  # a scalar's name ("string", "int64"...) or a message's full name (".pkg.Name")
    repeated: bool = False
    oneof: str = ""  # the oneof it belongs to; "(optional)" for a proto3 optional field

    def describe(self):
        kind = ("repeated " if self.repeated else "") + self.type
        return f"{kind} = {self.number}" + (f" in oneof {self.oneof}" if self.oneof else "")


@dataclass
class Message:
    fields: dict = field(default_factory=dict)  # name -> Field, in declaration order
    nested: dict = field(default_factory=dict)  # name -> Message
    enums: dict = field(default_factory=dict)  # name -> {value name: number}


@dataclass
class Rpc:
    input: str
    output: str
    server_streaming: bool = False
    client_streaming: bool = False

    def describe(self):
        stream = "stream " if self.server_streaming else ""
        return f"({'stream ' if self.client_streaming else ''}{self.input}) returns ({stream}{self.output})"


@dataclass
class ProtoFile:
    package: str
    services: dict = field(default_factory=dict)  # name -> {rpc name: Rpc}
    messages: dict = field(default_factory=dict)  # name -> Message
    enums: dict = field(default_factory=dict)


# ---------------------------------------------------------------- from the feature definition


def _child(element, name):
    found = element.find(NS + name)
    if found is None:
        raise Problem(f"<{element.tag.replace(NS, '')}> has no <{name}>")
    return found


def _text(element, name):
    return (_child(element, name).text or "").strip()


def _children(element, name):
    return element.findall(NS + name)


class _Mapper:
    def __init__(self, root):
        self.root = root
        identifier = _text(root, "Identifier")
        originator = root.get("Originator", "")
        category = root.get("Category", "none")
        major = root.get("FeatureVersion", "").split(".")[0]
        self.identifier = identifier
        self.qualified = f"{originator}/{category}/{identifier}/v{major}"
        self.package = f"sila2.{originator}.{category}.{identifier.lower()}.v{major}"
        self.prefix = "." + self.package + "."
        self.proto = ProtoFile(self.package)
        self.errors = {_text(e, "Identifier") for e in _children(root, "DefinedExecutionError")}
        self.data_types = {_text(d, "Identifier") for d in _children(root, "DataTypeDefinition")}

    def field_type(self, data_type, identifier, container, container_name, in_list=False):
        """The (type, repeated) of a field holding `data_type`; a structure becomes a message
        <identifier>_Struct nested in `container`."""
        kinds = list(data_type)
        if len(kinds) != 1:
            raise Problem(f"{identifier}: a <DataType> holds exactly one type")
        kind = kinds[0]
        tag = kind.tag.replace(NS, "")
        if tag == "Basic":
            basic = (kind.text or "").strip()
            if basic not in BASIC_TYPES:
                raise Problem(f"{identifier}: {basic!r} is no basic type")
            return FRAMEWORK + basic, False
        if tag == "Constrained":
            return self.field_type(_child(kind, "DataType"), identifier, container, container_name, in_list)
        if tag == "List":
            if in_list:
                raise Problem(f"{identifier}: a list of lists has no wire form")
            inner, _ = self.field_type(_child(kind, "DataType"), identifier, container, container_name, True)
            return inner, True
        if tag == "Structure":
            name = identifier + "_Struct"
            struct = Message()
            full = container_name + "." + name
            self.add_elements(struct, full, _children(kind, "Element"), f"structure {identifier}")
            container.nested[name] = struct
            return full, False
        if tag == "DataTypeIdentifier":
            referred = (kind.text or "").strip()
            if referred not in self.data_types:
                raise Problem(f"{identifier}: the data type {referred} is not defined in the feature")
            return self.prefix + "DataType_" + referred, False
        raise Problem(f"{identifier}: <{tag}> is no data type")

    def add_elements(self, message, message_name, elements, where):
        """Fields numbered from 1 in the order the definition lists them, named by their
        identifiers."""
        for number, element in enumerate(elements, start=1):
            identifier = _text(element, "Identifier")
            if identifier in message.fields:
                raise Problem(f"{where}: {identifier} is listed twice")
            type_name, repeated = self.field_type(_child(element, "DataType"), identifier, message, message_name)
            message.fields[identifier] = Field(number, type_name, repeated)

    def add_message(self, name, elements=(), where=""):
        if name in self.proto.messages:
            raise Problem(f"two messages would be named {name}")
        message = Message()
        self.proto.messages[name] = message
        self.add_elements(message, self.prefix + name, elements, where or name)
        return message

    def check_errors(self, element, where):
        listed = element.find(NS + "DefinedExecutionErrors")
        for error in [] if listed is None else _children(listed, "Identifier"):
            if (error.text or "").strip() not in self.errors:
                raise Problem(f"{where} names the DefinedExecutionError {error.text} the feature does not define")

    def map(self):
        rpcs = {}

        def add_rpc(name, rpc):
            if name in rpcs:
                raise Problem(f"two rpcs would be named {name}")
            rpcs[name] = rpc

        for element in self.root:
            tag = element.tag.replace(NS, "")
            if tag in ("Identifier", "DisplayName", "Description", "DefinedExecutionError"):
                continue
            identifier = _text(element, "Identifier")
            where = f"{tag} {identifier}"
            if tag == "Metadata":
                raise Problem(f"{where}: the mapping rules used here do not cover metadata")
            if tag == "DataTypeDefinition":
                self.add_message("DataType_" + identifier, [element], where)
                continue
            self.check_errors(element, where)
            observable = _text(element, "Observable") == "Yes"
            if tag == "Property":
                verb = "Subscribe" if observable else "Get"
                base = f"{verb}_{identifier}"
                self.add_message(base + "_Parameters")
                responses = self.add_message(base + "_Responses")
                kind, repeated = self.field_type(_child(element, "DataType"), identifier, responses,
                                                 self.prefix + base + "_Responses")
                responses.fields[identifier] = Field(1, kind, repeated)
                add_rpc(base, Rpc(self.prefix + base + "_Parameters", self.prefix + base + "_Responses",
                                  server_streaming=observable))
                continue
            if tag != "Command":
                raise Problem(f"<{tag}> has no wire form")
            self.add_message(identifier + "_Parameters", _children(element, "Parameter"), where)
            self.add_message(identifier + "_Responses", _children(element, "Response"), where)
            parameters = self.prefix + identifier + "_Parameters"
            responses = self.prefix + identifier + "_Responses"
            if not observable:
                add_rpc(identifier, Rpc(parameters, responses))
                continue
            uuid = FRAMEWORK + "CommandExecutionUUID"
            add_rpc(identifier, Rpc(parameters, FRAMEWORK + "CommandConfirmation"))
            add_rpc(identifier + "_Info", Rpc(uuid, FRAMEWORK + "ExecutionInfo", server_streaming=True))
            intermediate = _children(element, "IntermediateResponse")
            if intermediate:
                self.add_message(identifier + "_IntermediateResponses", intermediate, where)
                add_rpc(identifier + "_Intermediate",
                        Rpc(uuid, self.prefix + identifier + "_IntermediateResponses", server_streaming=True))
            add_rpc(identifier + "_Result", Rpc(uuid, responses))
        self.proto.services[self.identifier] = rpcs
        return self.proto


def expected_from_fdl(path):
    """The .proto a client derives from the feature definition at `path`, and the feature's
    fully qualified identifier."""
    try:
        root = ElementTree.parse(path).getroot()
    except ElementTree.ParseError as error:
        raise Problem(f"{path} is not XML: {error}") from error
    if root.tag != NS + "Feature":
        raise Problem(f"{path}: the root element is {root.tag}, not a SiLA Feature")
    mapper = _Mapper(root)
    return mapper.map(), mapper.qualified


# ---------------------------------------------------------------- from protoc's descriptors


def _run(command):
    try:
        return subprocess.run(command, capture_output=True, text=True, check=False)
    except FileNotFoundError as missing:
        raise Problem(f"{command[0]} is not installed (scripts/setup-packages installs it)") from missing

_SCALARS = {number: name[len("TYPE_"):].lower()
            for name, number in descriptor_pb2.FieldDescriptorProto.Type.items()}


def _message_from(descriptor):
    message = Message()
    oneofs = [o.name for o in descriptor.oneof_decl]
    for f in descriptor.field:
        if f.type in (f.TYPE_MESSAGE, f.TYPE_ENUM):
            kind = f.type_name
        else:
            kind = _SCALARS[f.type]
        oneof = ""
        if f.proto3_optional:
            oneof = "(optional)"
        elif f.HasField("oneof_index"):
            oneof = oneofs[f.oneof_index]
        message.fields[f.name] = Field(f.number, kind, f.label == f.LABEL_REPEATED, oneof)
    for nested in descriptor.nested_type:
        message.nested[nested.name] = _message_from(nested)
    for enum in descriptor.enum_type:
        message.enums[enum.name] = {v.name: v.number for v in enum.value}
    return message


def proto_from_descriptors(proto_path, include_dirs, protoc="protoc"):
    """What protoc makes of the .proto file, through a descriptor set."""
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, "set.pb")
        command = [protoc, "--include_imports", "--descriptor_set_out=" + out]
        command += ["-I" + d for d in [os.path.dirname(os.path.abspath(proto_path))] + list(include_dirs)]
        command.append(os.path.abspath(proto_path))
        run = _run(command)
        if run.returncode != 0:
            raise Problem(f"protoc refuses {proto_path}: {run.stderr.strip()}")
        with open(out, "rb") as data:
            descriptors = descriptor_pb2.FileDescriptorSet.FromString(data.read())
    name = os.path.basename(proto_path)
    files = [f for f in descriptors.file if os.path.basename(f.name) == name]
    if not files:
        raise Problem(f"protoc described no file {name}")
    descriptor = files[-1]
    if descriptor.syntax != "proto3":
        raise Problem(f"{proto_path} is not proto3 (syntax {descriptor.syntax or 'proto2'})")
    proto = ProtoFile(descriptor.package)
    for message in descriptor.message_type:
        proto.messages[message.name] = _message_from(message)
    for enum in descriptor.enum_type:
        proto.enums[enum.name] = {v.name: v.number for v in enum.value}
    for service in descriptor.service:
        proto.services[service.name] = {
            m.name: Rpc(m.input_type, m.output_type, m.server_streaming, m.client_streaming) for m in service.method}
    return proto


# ---------------------------------------------------------------- comparing

def _compare_names(expected, actual, what, where, problems):
    for name in expected:
        if name not in actual:
            problems.append(f"{where}: missing {what} {name}")
    for name in actual:
        if name not in expected:
            problems.append(f"{where}: {what} {name} is not expected")


def _compare_enums(expected, actual, where, problems):
    _compare_names(expected, actual, "enum", where, problems)
    for name in expected.keys() & actual.keys():
        values = f"{where}: enum {name}"
        _compare_names(expected[name], actual[name], "value", values, problems)
        for value in expected[name].keys() & actual[name].keys():
            if expected[name][value] != actual[name][value]:
                problems.append(f"{values}: value {value} is {actual[name][value]}, expected {expected[name][value]}")


def _compare_messages(expected, actual, where, problems):
    _compare_names(expected, actual, "message", where, problems)
    for name in expected:
        if name not in actual:
            continue
        inside = f"message {name}" if where == "file" else f"{where}.{name}"
        want, have = expected[name], actual[name]
        _compare_names(want.fields, have.fields, "field", inside, problems)
        for field_name in want.fields:
            if field_name in have.fields and want.fields[field_name] != have.fields[field_name]:
                problems.append(f"{inside}: field {field_name} is {have.fields[field_name].describe()}, "
                                f"expected {want.fields[field_name].describe()}")
        _compare_messages(want.nested, have.nested, inside, problems)
        _compare_enums(want.enums, have.enums, inside, problems)


def compare(expected, actual):
    """The differences between two .proto models, one sentence each; empty when they match."""
    problems = []
    if expected.package != actual.package:
        problems.append(f"package is {actual.package!r}, expected {expected.package!r}")
    _compare_messages(expected.messages, actual.messages, "file", problems)
    _compare_enums(expected.enums, actual.enums, "file", problems)
    _compare_names(expected.services, actual.services, "service", "file", problems)
    for service in expected.services.keys() & actual.services.keys():
        want, have = expected.services[service], actual.services[service]
        _compare_names(want, have, "rpc", f"service {service}", problems)
        for rpc in want.keys() & have.keys():
            if want[rpc] != have[rpc]:
                problems.append(f"service {service}: rpc {rpc}{have[rpc].describe()}, expected "
                                f"rpc {rpc}{want[rpc].describe()}")
    return problems


def validate_fdl(xsd, fdl, xmllint="xmllint"):
    """xmllint's complaints about `fdl` against the schema; empty when it validates."""
    try:
        run = _run([xmllint, "--noout", "--nonet", "--schema", xsd, fdl])
    except Problem as problem:
        return [str(problem)]
    if run.returncode == 0:
        return []
    return [line for line in run.stderr.splitlines() if line.strip() and not line.endswith("fails to validate")] or [
        f"{fdl} fails to validate"]

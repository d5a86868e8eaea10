// Fails when the page's `korvel` object, as the extension source and the
// shell's reply scripts build it, and its TypeScript declaration disagree:
// a member missing on either side, a function declared as data (or the
// reverse), a different number of parameters, or a member left without its
// comment.
//
// Usage: node check_members.js TSC SOURCE.js DECLARATION.d.ts SCRIPTS_DIR...
//   TSC          the TypeScript compiler (its package provides the parser)
//   SCRIPTS_DIR  folders of C++ sources whose script text may assign korvel
//                members (the shell's reply scripts)
'use strict';
const fs = require('fs');
const path = require('path');

const [tscPath, sourcePath, declarationPath, ...scriptsDirs] =
    process.argv.slice(2);
const ts = require(path.join(path.dirname(path.dirname(
    fs.realpathSync(tscPath))), 'lib', 'typescript.js'));

function parse(file) {
  return ts.createSourceFile(file, fs.readFileSync(file, 'utf8'),
                             ts.ScriptTarget.Latest, true);
}

function isKorvel(node) {
  return ts.isIdentifier(node) && node.text === 'korvel';
}

function isFunction(node) {
  return ts.isFunctionExpression(node) || ts.isArrowFunction(node);
}

// Members of the extension source: name -> {kind, params}.
function sourceMembers(file) {
  const members = new Map();
  const problems = [];
  const add = (name, value, where) => {
    const member = isFunction(value)
        ? {kind: 'function', params: value.parameters.length}
        : {kind: 'data'};
    const known = members.get(name);
    if (known && known.kind !== member.kind) {
      problems.push(`${where}: korvel.${name} is assigned both a function ` +
                    'and data');
    }
    if (!known || member.kind === 'function') members.set(name, member);
  };
  // Members whose name arrives in a parameter (korvel[slot] = ...): the
  // string literals that calls of that function pass for it.
  const dynamic = [];
  const calls = [];
  const visit = (node) => {
    const where = `${file}:${
        node.getSourceFile().getLineAndCharacterOfPosition(
            node.getStart()).line + 1}`;
    if (ts.isBinaryExpression(node) &&
        node.operatorToken.kind === ts.SyntaxKind.EqualsToken) {
      const target = node.left;
      if (isKorvel(target) && ts.isObjectLiteralExpression(node.right)) {
        for (const property of node.right.properties) {
          add(property.name.getText(), property.initializer || property,
              where);
        }
      } else if (ts.isPropertyAccessExpression(target) &&
                 isKorvel(target.expression)) {
        add(target.name.text, node.right, where);
      } else if (ts.isElementAccessExpression(target) &&
                 isKorvel(target.expression)) {
        const key = target.argumentExpression;
        if (ts.isStringLiteral(key)) {
          add(key.text, node.right, where);
        } else {
          let scope = node.parent;
          while (scope && !ts.isFunctionDeclaration(scope)) {
            scope = scope.parent;
          }
          const index = scope && ts.isIdentifier(key)
              ? scope.parameters.findIndex(p => p.name.getText() === key.text)
              : -1;
          if (index < 0 || !scope.name) {
            problems.push(`${where}: korvel[${key.getText()}] has no name ` +
                          'that can be read from the source');
          } else {
            dynamic.push({func: scope.name.text, index, value: node.right});
          }
        }
      }
    }
    if (ts.isCallExpression(node) && ts.isIdentifier(node.expression)) {
      calls.push(node);
    }
    ts.forEachChild(node, visit);
  };
  visit(parse(file));
  for (const {func, index, value} of dynamic) {
    for (const call of calls) {
      if (call.expression.text !== func) continue;
      const arg = call.arguments[index];
      if (arg && ts.isStringLiteral(arg)) {
        add(arg.text, value, file);
      } else {
        problems.push(`${file}: a call of ${func}() passes a member name ` +
                      'that is not a string literal');
      }
    }
  }
  return {members, problems};
}

// Members that the shell's own scripts (C++ string literals) assign.
function scriptMembers(dir) {
  const names = new Set();
  const walk = (d) => {
    for (const entry of fs.readdirSync(d, {withFileTypes: true})) {
      const full = path.join(d, entry.name);
      if (entry.isDirectory()) {
        walk(full);
      } else if (/\.(cc|h)$/.test(entry.name)) {
        const text = fs.readFileSync(full, 'utf8');
        for (const m of text.matchAll(/korvel\.([A-Za-z_$][\w$]*)\s*=(?!=)/g)) {
          names.add(m[1]);
        }
      }
    }
  };
  walk(dir);
  return names;
}

// Members of the interface that `declare var korvel` names.
function declaredMembers(file) {
  const sourceFile = parse(file);
  let typeName;
  const interfaces = [];
  for (const statement of sourceFile.statements) {
    if (ts.isVariableStatement(statement)) {
      for (const decl of statement.declarationList.declarations) {
        if (decl.name.getText() === 'korvel' && decl.type &&
            ts.isTypeReferenceNode(decl.type)) {
          typeName = decl.type.typeName.getText();
        }
      }
    } else if (ts.isInterfaceDeclaration(statement)) {
      interfaces.push(statement);
    }
  }
  const members = new Map();
  const problems = [];
  if (!typeName) {
    problems.push(`${file}: no "declare var korvel: <interface>"`);
  }
  for (const decl of interfaces) {
    if (decl.name.text !== typeName) continue;
    for (const member of decl.members) {
      const name = member.name.getText();
      const line = sourceFile.getLineAndCharacterOfPosition(
          member.getStart()).line + 1;
      if (ts.getJSDocCommentsAndTags(member).length === 0) {
        problems.push(`${file}:${line}: korvel.${name} has no comment`);
      }
      members.set(name, ts.isMethodSignature(member)
          ? {kind: 'function', params: member.parameters.length}
          : {kind: 'data'});
    }
  }
  return {members, problems};
}

const source = sourceMembers(sourcePath);
for (const dir of scriptsDirs) {
  for (const name of scriptMembers(dir)) {
    if (!source.members.has(name)) source.members.set(name, {kind: 'data'});
  }
}
const declared = declaredMembers(declarationPath);
const problems = [...source.problems, ...declared.problems];
for (const [name, member] of source.members) {
  const other = declared.members.get(name);
  if (!other) {
    problems.push(`korvel.${name} (${member.kind}) is not declared`);
  } else if (other.kind !== member.kind) {
    problems.push(`korvel.${name} is a ${member.kind} in the source but ` +
                  `declared as ${other.kind}`);
  } else if (member.kind === 'function' && other.params !== member.params) {
    problems.push(`korvel.${name} takes ${member.params} parameter(s) but ` +
                  `is declared with ${other.params}`);
  }
}
for (const name of declared.members.keys()) {
  if (!source.members.has(name)) {
    problems.push(`korvel.${name} is declared but neither the source nor ` +
                  'the shell\'s scripts define it');
  }
}
const functions = [...source.members.values()]
    .filter(m => m.kind === 'function').length;
console.log(`${functions} functions and ${source.members.size - functions} ` +
            'data members in the source; ' +
            `${declared.members.size} members declared`);
if (problems.length) {
  for (const problem of new Set(problems)) console.error(problem);
  process.exit(1);
}
